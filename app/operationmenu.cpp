#include "app/operationmenu.h"

#include <QActionGroup>

#include "app/machinemenu.h"
#include "app/utf8.h"
#include "gcode/shapes/operation.h"

namespace quorrel::app {
namespace {

// "menu_operation_bolt_circle": an object name of the operation's item.
QString ItemName(std::string_view operation) {
  QString name = QStringLiteral("menu_operation_") + FromUtf8(operation);
  return name.replace(QLatin1Char('-'), QLatin1Char('_'));
}

}  // namespace

OperationMenu::OperationMenu(MachineMenu* machines, QWidget* parent)
    : QMenu(QStringLiteral("&Operation"), parent), machines_(machines) {
  setObjectName(QStringLiteral("menu_operation"));
  rebuild();
  connect(machines_, &MachineMenu::choiceChanged, this, &OperationMenu::rebuild);
}

void OperationMenu::rebuild() {
  clear();
  delete choices_;
  choices_ = new QActionGroup(this);
  const std::string chosen = machines_->operation();
  const auto addChoice = [&](QMenu* menu, const QString& caption, const QString& name,
                             const std::string& operation) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(true);
    item->setChecked(chosen == operation);
    choices_->addAction(item);
    connect(item, &QAction::triggered, this,
            [this, operation] { machines_->chooseOperation(operation); });
  };
  addChoice(this, QStringLiteral("&Shape"), QStringLiteral("menu_operation_shape"), {});
  // The window's own program cuts the form's shapes alone.
  if (machines_->chosen() == nullptr) return;
  QMenu* holes = addMenu(QStringLiteral("&Holes"));
  holes->setObjectName(QStringLiteral("menu_operation_holes"));
  for (const Operation& operation : Operations()) {
    if (operation.windowProgram()) continue;
    addChoice(operation.drills() ? holes : this, FromUtf8(operation.caption),
              ItemName(operation.name), std::string(operation.name));
  }
}

}  // namespace quorrel::app
