#include "app/jobpanel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/utf8.h"
#include "gcode/shapes/operation.h"

namespace quorrel::app {

JobPanel::JobPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName(QStringLiteral("JobPanel"));
  setWindowTitle(QStringLiteral("Job"));
  table_ = new QTableWidget(0, 3, this);
  table_->setObjectName(QStringLiteral("jobOperations"));
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("Operation"), QStringLiteral("Machine"), QStringLiteral("Tool")});
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  const auto button = [this](const char* name, const QString& text) {
    auto* made = new QPushButton(text, this);
    made->setObjectName(QLatin1String(name));
    return made;
  };
  QPushButton* add = button("jobAdd", QStringLiteral("&Add"));
  replace_ = button("jobReplace", QStringLiteral("Re&place"));
  remove_ = button("jobRemove", QStringLiteral("&Remove"));
  up_ = button("jobUp", QStringLiteral("&Up"));
  down_ = button("jobDown", QStringLiteral("Do&wn"));
  auto* buttons = new QHBoxLayout;
  for (QPushButton* each : {add, replace_, remove_, up_, down_}) buttons->addWidget(each);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addLayout(buttons);
  resize(460, 260);

  connect(add, &QPushButton::clicked, this, &JobPanel::addRequested);
  connect(replace_, &QPushButton::clicked, this, &JobPanel::replaceRequested);
  connect(remove_, &QPushButton::clicked, this, [this] {
    const int row = chosen();
    if (row < 0) return;
    document_.rows.erase(document_.rows.begin() + row);
    rebuild();
    emit changed();
  });
  connect(up_, &QPushButton::clicked, this, [this] { moveRow(chosen(), chosen() - 1); });
  connect(down_, &QPushButton::clicked, this, [this] { moveRow(chosen(), chosen() + 1); });
  connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
    const int row = chosen();
    for (QPushButton* each : {replace_, remove_}) each->setEnabled(row >= 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row + 1 < static_cast<int>(document_.rows.size()));
    if (row >= 0) emit rowChosen(document_.rows[static_cast<std::size_t>(row)]);
  });
  rebuild();
}

void JobPanel::setDocument(const JobDocument& document, const std::optional<std::string>& path) {
  document_ = document;
  path_ = path;
  rebuild();
  emit changed();
}

void JobPanel::addRow(const JobRow& row) {
  // A new job is cut on the machine of its first operation.
  if (document_.rows.empty() && document_.settings.empty()) document_.machine = row.machine;
  document_.rows.push_back(row);
  rebuild();
  table_->selectRow(static_cast<int>(document_.rows.size()) - 1);
  emit changed();
}

void JobPanel::replaceChosen(const JobRow& row) {
  const int at = chosen();
  if (at < 0) return;
  document_.rows[static_cast<std::size_t>(at)] = row;
  rebuild();
  emit changed();
}

int JobPanel::chosen() const {
  const QList<QTableWidgetItem*> items = table_->selectedItems();
  return items.isEmpty() ? -1 : items.front()->row();
}

void JobPanel::moveRow(int from, int to) {
  const int rows = static_cast<int>(document_.rows.size());
  if (from < 0 || to < 0 || from >= rows || to >= rows) return;
  std::swap(document_.rows[static_cast<std::size_t>(from)],
            document_.rows[static_cast<std::size_t>(to)]);
  rebuild();
  table_->selectRow(to);
  emit changed();
}

void JobPanel::rebuild() {
  const QSignalBlocker quiet(table_);
  table_->setRowCount(static_cast<int>(document_.rows.size()));
  for (std::size_t i = 0; i < document_.rows.size(); ++i) {
    const JobRow& row = document_.rows[i];
    const int at = static_cast<int>(i);
    const Operation& operation = OperationOf(row.request.shape);
    QString what = FromUtf8(operation.title(row.request.texts, "."));
    if (operation.outlines()) {
      what += row.request.fill               ? QStringLiteral(", Fill")
              : row.request.strategy.outside ? QStringLiteral(", outside")
                                             : QString();
    }
    table_->setItem(at, 0, new QTableWidgetItem(QString::number(at + 1) + ". " + what));
    const std::string machine = row.machine.empty() ? document_.machine : row.machine;
    table_->setItem(at, 1, new QTableWidgetItem(FromUtf8(machine)));
    auto* tool = new QSpinBox(table_);
    tool->setObjectName(QStringLiteral("jobTool%1").arg(at + 1));
    tool->setRange(1, kHighestTool);
    tool->setValue(row.tool);
    connect(tool, &QSpinBox::valueChanged, this, [this, i](int value) {
      document_.rows[i].tool = value;
      emit changed();
    });
    table_->setCellWidget(at, 2, tool);
  }
  for (QPushButton* each : {replace_, remove_, up_, down_}) {
    if (each != nullptr) each->setEnabled(false);
  }
}

}  // namespace quorrel::app
