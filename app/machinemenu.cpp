#include "app/machinemenu.h"

#include <QActionGroup>
#include <QString>
#include <QtDebug>

#include "app/utf8.h"
#include "app/windowmemory.h"
#include "gcode/job/dialect_profile.h"
#include "gcode/shapes/operation.h"

namespace quorrel::app {
namespace {

// A machine as a menu shows it: an "&" in its name is a letter, not a keyboard mnemonic.
QString MenuText(const Machine& machine) {
  QString text = MachineLabel(machine);
  text.replace(QLatin1Char('&'), QLatin1String("&&"));
  return text;
}

}  // namespace

QString MachineLabel(const Machine& machine) {
  return FromUtf8(machine.name) + QLatin1String(" (") + FromUtf8(ProfileOf(machine.dialect).name) +
         QLatin1Char(')');
}

MachineMenu::MachineMenu(WindowMemory& memory, QWidget* parent)
    : QMenu(QStringLiteral("&Machine"), parent), memory_(memory) {
  setObjectName(QStringLiteral("menu_machine"));
  path_ = MachinesFilePath();
  file_ = ReadMachinesFile(path_);
  const std::optional<std::string>& machine = memory_.state().machine;
  if (machine && FindMachine(file_.machines, *machine) != nullptr) chosenName_ = machine;
  rebuild();
  // What another window or an editor changed shows the next time the menu opens.
  connect(this, &QMenu::aboutToShow, this, [this] { reload(); });
}

const Machine* MachineMenu::chosen() const {
  return chosenName_ ? FindMachine(file_.machines, *chosenName_) : nullptr;
}

bool MachineMenu::outside() const {
  return outside_ && chosen() != nullptr;
}

void MachineMenu::setOutside(bool outside) {
  if (outside_ == outside) return;
  outside_ = outside;
  rebuild();
  emit choiceChanged();
}

std::string MachineMenu::operation() const {
  if (chosen() == nullptr) return {};
  const std::map<std::string, std::string>& operations = memory_.state().operations;
  const auto remembered = operations.find(*chosenName_);
  if (remembered == operations.end()) return {};
  // A name this Quorrel does not know, written by another, is the form's shapes.
  const Operation* known = OperationNamed(remembered->second);
  return known != nullptr && !known->windowProgram() ? remembered->second : std::string();
}

void MachineMenu::chooseOperation(const std::string& name) {
  if (chosen() == nullptr || name == operation()) return;
  memory_.remember([&](WindowState& state) {
    if (name.empty()) {
      state.operations.erase(*chosenName_);
    } else {
      state.operations[*chosenName_] = name;
    }
  });
  rebuild();
  emit choiceChanged();
}

void MachineMenu::reload(const std::optional<std::string>& renamedTo) {
  MachinesFile file = ReadMachinesFile(path_);
  const bool same = file.text == file_.text && file.fault == file_.fault &&
                    file.machineFaults == file_.machineFaults;
  if (same && !renamedTo) return;
  const std::optional<std::string> before = chosenName_;
  file_ = std::move(file);
  if (renamedTo) {
    // The operation chosen with it goes with its new name.
    memory_.remember([&](WindowState& state) {
      const auto operation = before ? state.operations.find(*before) : state.operations.end();
      if (operation != state.operations.end() && *before != *renamedTo) {
        state.operations[*renamedTo] = operation->second;
        state.operations.erase(*before);
      }
    });
    chosenName_ = renamedTo;
  }
  if (chosenName_ && chosen() == nullptr) chosenName_.reset();
  if (chosenName_ != before) rememberChoice();
  rebuild();
  emit choiceChanged();
}

void MachineMenu::choose(const std::optional<std::string>& name) {
  chosenName_ = name && FindMachine(file_.machines, *name) ? name : std::nullopt;
  rememberChoice();
  rebuild();
  emit choiceChanged();
}

void MachineMenu::rebuild() {
  clear();
  delete machines_;
  delete sides_;
  machines_ = new QActionGroup(this);
  sides_ = new QActionGroup(this);

  QAction* own = addAction(QStringLiteral("No machine: the window's program (.din)"));
  own->setObjectName(QStringLiteral("menu_machine_none"));
  own->setCheckable(true);
  own->setChecked(!chosenName_);
  machines_->addAction(own);
  connect(own, &QAction::triggered, this, [this] { choose(std::nullopt); });
  for (const Machine& machine : file_.machines) {
    QAction* item = addAction(MenuText(machine));
    item->setCheckable(true);
    item->setChecked(chosenName_ == machine.name);
    item->setData(FromUtf8(machine.name));
    machines_->addAction(item);
    connect(item, &QAction::triggered, this, [this, name = machine.name] { choose(name); });
  }

  addSeparator();
  // Only an outline has a side of its contour to run on.
  const bool withMachine = chosen() != nullptr && operation().empty();
  for (const bool side : {false, true}) {
    QAction* item = addAction(side ? QStringLiteral("&Outside the contour")
                                   : QStringLiteral("&Inside the contour"));
    item->setObjectName(side ? QStringLiteral("menu_machine_outside")
                             : QStringLiteral("menu_machine_inside"));
    item->setCheckable(true);
    item->setChecked(outside_ == side);
    item->setEnabled(withMachine);
    sides_->addAction(item);
    connect(item, &QAction::triggered, this, [this, side] {
      outside_ = side;
      emit choiceChanged();
    });
  }

  addSeparator();
  QAction* edit = addAction(QStringLiteral("&Machines…"));
  edit->setObjectName(QStringLiteral("menu_machine_edit"));
  connect(edit, &QAction::triggered, this, &MachineMenu::machinesRequested);
}

void MachineMenu::rememberChoice() {
  memory_.remember([this](WindowState& state) { state.machine = chosenName_; });
}

}  // namespace quorrel::app
