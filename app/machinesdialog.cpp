#include "app/machinesdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/utf8.h"
#include "gcode/output/output_error.h"

namespace quorrel::app {
namespace {

bool IsChoice(Setting setting) {
  return !ChoicesOf(setting).empty();
}

// A choice the machine may leave out offers its default first, as an empty text.
bool MayBeLeftOut(Setting setting) {
  return setting == Setting::Direction || setting == Setting::Entry ||
         setting == Setting::ChipBreak;
}

QString DefaultChoiceText(Setting setting) {
  return QStringLiteral("default: ") + FromUtf8(ChoicesOf(setting)[0]);
}

void ShowProblem(QLabel* label, const QString& problem) {
  label->setText(problem);
  label->setVisible(!problem.isEmpty());
}

}  // namespace

MachinesDialog::MachinesDialog(std::string path, const MachinesFile& file, QWidget* parent)
    : QDialog(parent), path_(std::move(path)), readText_(file.text) {
  setObjectName(QStringLiteral("MachinesDialog"));
  setWindowTitle(QStringLiteral("Machines"));
  for (const Machine& machine : file.machines) {
    Draft draft{machine.name, FromUtf8(machine.name), {}};
    for (const SettingDescription& setting : kSettings) {
      draft.texts[static_cast<std::size_t>(setting.setting)] =
          FromUtf8(SettingText(machine, setting.setting));
    }
    drafts_.push_back(std::move(draft));
  }

  auto* machinesLabel = new QLabel(QStringLiteral("Mac&hines"));
  list_ = new QListWidget;
  list_->setObjectName(QStringLiteral("machines"));
  machinesLabel->setBuddy(list_);
  for (const Draft& draft : drafts_) list_->addItem(draft.name);
  auto* add = new QPushButton(QStringLiteral("Ne&w"));
  add->setObjectName(QStringLiteral("add"));
  auto* remove = new QPushButton(QStringLiteral("Remo&ve"));
  remove->setObjectName(QStringLiteral("remove"));
  auto* left = new QVBoxLayout;
  left->addWidget(machinesLabel);
  left->addWidget(list_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  left->addLayout(buttons);

  fields_ = new QWidget;
  auto* grid = new QGridLayout(fields_);
  grid->setContentsMargins(0, 0, 0, 0);
  name_ = new QLineEdit;
  name_->setObjectName(QStringLiteral("name"));
  auto* nameLabel = new QLabel(QStringLiteral("Na&me"));
  nameLabel->setBuddy(name_);
  nameProblem_ = new QLabel;
  nameProblem_->setObjectName(QStringLiteral("problem_name"));
  grid->addWidget(nameLabel, 0, 0);
  grid->addWidget(name_, 0, 1);
  grid->addWidget(nameProblem_, 0, 2);
  for (const SettingDescription& setting : kSettings) {
    addRow(setting, 1 + static_cast<int>(setting.setting));
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(2, fontMetrics().averageCharWidth() * 30);
  for (QLabel* problem : problems_) {
    problem->setStyleSheet(QStringLiteral("color: #b00000"));
    problem->setWordWrap(true);
  }
  nameProblem_->setStyleSheet(QStringLiteral("color: #b00000"));

  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("status"));
  status_->setWordWrap(true);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addWidget(fields_, 1);
  auto* whole = new QVBoxLayout(this);
  whole->addLayout(columns);
  auto* note = new QLabel(
      QStringLiteral("Saved in %1; Save writes the file anew, without comments typed into it.")
          .arg(FromUtf8(path_)));
  note->setWordWrap(true);
  whole->addWidget(note);
  whole->addWidget(status_);
  whole->addWidget(box);

  connect(list_, &QListWidget::currentRowChanged, this, &MachinesDialog::showDraft);
  connect(add, &QPushButton::clicked, this, &MachinesDialog::addMachine);
  connect(remove, &QPushButton::clicked, this, &MachinesDialog::removeMachine);
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (showing_ || current_ < 0) return;
    drafts_[static_cast<std::size_t>(current_)].name = text;
    list_->item(current_)->setText(text);
    showProblems();
  });
  connect(box, &QDialogButtonBox::accepted, this, &MachinesDialog::save);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

  list_->setCurrentRow(drafts_.empty() ? -1 : 0);
  showDraft(list_->currentRow());
}

void MachinesDialog::addRow(const SettingDescription& setting, int row) {
  const auto index = static_cast<std::size_t>(setting.setting);
  auto* grid = static_cast<QGridLayout*>(fields_->layout());
  auto* label = new QLabel(FromUtf8(setting.caption));
  QWidget* editor = nullptr;
  const auto edited = [this, index](const QString& text) {
    if (showing_ || current_ < 0) return;
    drafts_[static_cast<std::size_t>(current_)].texts[index] = text;
    showProblems();
  };
  if (IsChoice(setting.setting)) {
    auto* choices = new QComboBox;
    if (MayBeLeftOut(setting.setting))
      choices->addItem(DefaultChoiceText(setting.setting), QString());
    for (const std::string_view choice : ChoicesOf(setting.setting)) {
      choices->addItem(FromUtf8(choice), FromUtf8(choice));
    }
    choices->setToolTip(FromUtf8(setting.hint));
    connect(choices, &QComboBox::activated, this,
            [choices, edited](int item) { edited(choices->itemData(item).toString()); });
    editor = choices;
  } else {
    auto* number = new QLineEdit;
    number->setPlaceholderText(FromUtf8(setting.hint));
    connect(number, &QLineEdit::textEdited, this, edited);
    editor = number;
  }
  editor->setObjectName(FromUtf8(setting.key));
  label->setBuddy(editor);
  editors_[index] = editor;
  problems_[index] = new QLabel;
  problems_[index]->setObjectName(QStringLiteral("problem_") + FromUtf8(setting.key));
  grid->addWidget(label, row, 0);
  grid->addWidget(editor, row, 1);
  grid->addWidget(problems_[index], row, 2);
}

void MachinesDialog::showDraft(int index) {
  current_ = index;
  fields_->setEnabled(index >= 0);
  showing_ = true;
  const Draft empty;
  const Draft& draft = index >= 0 ? drafts_[static_cast<std::size_t>(index)] : empty;
  name_->setText(draft.name);
  for (const SettingDescription& setting : kSettings) {
    const auto at = static_cast<std::size_t>(setting.setting);
    if (auto* choices = qobject_cast<QComboBox*>(editors_[at])) {
      choices->setCurrentIndex(std::max(0, choices->findData(draft.texts[at])));
    } else {
      static_cast<QLineEdit*>(editors_[at])->setText(draft.texts[at]);
    }
  }
  showing_ = false;
  showProblems();
}

void MachinesDialog::addMachine() {
  Draft draft;
  int number = static_cast<int>(drafts_.size()) + 1;
  const auto taken = [this](const QString& name) {
    return std::any_of(drafts_.begin(), drafts_.end(),
                       [&](const Draft& other) { return other.name == name; });
  };
  while (taken(QStringLiteral("Machine %1").arg(number))) ++number;
  draft.name = QStringLiteral("Machine %1").arg(number);
  // A new machine starts as the first of each choice: LinuxCNC, millimetres.
  for (const Setting setting : {Setting::Dialect, Setting::Units}) {
    draft.texts[static_cast<std::size_t>(setting)] = FromUtf8(ChoicesOf(setting)[0]);
  }
  drafts_.push_back(std::move(draft));
  list_->addItem(drafts_.back().name);
  list_->setCurrentRow(list_->count() - 1);
  name_->setFocus();
  name_->selectAll();
}

void MachinesDialog::removeMachine() {
  if (current_ < 0) return;
  const int removed = current_;
  drafts_.erase(drafts_.begin() + removed);
  delete list_->takeItem(removed);
  showDraft(list_->currentRow());
}

QString MachinesDialog::problemOf(const Draft& draft, std::optional<Setting> setting) const {
  if (!setting) {
    if (draft.name.trimmed().isEmpty()) return QStringLiteral("needs a name");
    const auto same = std::count_if(drafts_.begin(), drafts_.end(), [&](const Draft& other) {
      return SameMachineName(ToUtf8(other.name), ToUtf8(draft.name));
    });
    return same > 1 ? QStringLiteral("another machine has this name, but for blanks or capitals")
                    : QString();
  }
  const QString& text = draft.texts[static_cast<std::size_t>(*setting)];
  if (text.isEmpty()) {
    return *setting == Setting::Feed ? QStringLiteral("needs a feed, the feed of every cut")
                                     : QString();
  }
  Machine scratch;
  if (const std::optional<std::string> problem = SetSetting(scratch, *setting, ToUtf8(text))) {
    return FromUtf8(*problem);
  }
  // What only the machine's other settings show: a bound in its units, a delay without a spindle.
  const std::optional<SettingProblem> together = MachineProblem(MachineOf(draft));
  return together && together->setting == *setting ? FromUtf8(together->words) : QString();
}

Machine MachinesDialog::MachineOf(const Draft& draft) {
  Machine machine;
  machine.name = ToUtf8(draft.name);
  for (const SettingDescription& setting : kSettings) {
    const QString& text = draft.texts[static_cast<std::size_t>(setting.setting)];
    if (!text.isEmpty()) (void)SetSetting(machine, setting.setting, ToUtf8(text));
  }
  return machine;
}

void MachinesDialog::showProblems() {
  if (current_ < 0) {
    ShowProblem(nameProblem_, QString());
    for (QLabel* problem : problems_) ShowProblem(problem, QString());
    return;
  }
  const Draft& draft = drafts_[static_cast<std::size_t>(current_)];
  ShowProblem(nameProblem_, problemOf(draft, std::nullopt));
  for (const SettingDescription& setting : kSettings) {
    ShowProblem(problems_[static_cast<std::size_t>(setting.setting)],
                problemOf(draft, setting.setting));
  }
}

std::optional<std::vector<Machine>> MachinesDialog::soundMachines() {
  std::vector<Machine> machines;
  for (std::size_t index = 0; index < drafts_.size(); ++index) {
    const Draft& draft = drafts_[index];
    bool sound = problemOf(draft, std::nullopt).isEmpty();
    for (const SettingDescription& setting : kSettings) {
      sound = sound && problemOf(draft, setting.setting).isEmpty();
    }
    if (!sound) {
      list_->setCurrentRow(static_cast<int>(index));
      status_->setText(QStringLiteral("\"%1\" has a value that cannot be used: see beside its "
                                      "field. Nothing was saved.")
                           .arg(draft.name));
      return std::nullopt;
    }
    machines.push_back(MachineOf(draft));
  }
  return machines;
}

void MachinesDialog::save() {
  const std::optional<std::vector<Machine>> machines = soundMachines();
  if (!machines) return;
  // Another window, or an editor, may have saved the file since it was read here: writing over
  // it would lose what was saved there.
  if (ReadMachinesFile(path_).text != readText_) {
    status_->setText(QStringLiteral(
        "The machines file was changed elsewhere (in another Quorrel window or an editor) since "
        "this dialog read it. Nothing was saved, so that those changes are not lost: cancel, "
        "and open Machines… again to change the machines as they are now."));
    return;
  }
  try {
    WriteSettingsFile(path_, MachinesFileText(*machines));
  } catch (const OutputError& error) {
    status_->setText(QString::fromLocal8Bit(error.what()) +
                     QStringLiteral(" The machines file is as it was."));
    return;
  }
  accept();
}

std::optional<std::string> MachinesDialog::nameAfter(const std::string& name) const {
  for (const Draft& draft : drafts_) {
    if (draft.firstName == name) return ToUtf8(draft.name);
  }
  return std::nullopt;
}

}  // namespace quorrel::app
