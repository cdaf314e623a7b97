#pragma once

#include <QMenu>

class QActionGroup;

namespace quorrel::app {

class MachineMenu;

/// The Operation menu: the form's shapes, and with a machine chosen the operations only a
/// controller's program cuts: holes (one, a bolt-hole circle, a grid) and a facing. Without a
/// machine it offers the shapes alone. The choice is the Machine menu's, which remembers it with
/// the machine.
class OperationMenu : public QMenu {
  Q_OBJECT

 public:
  OperationMenu(MachineMenu* machines, QWidget* parent = nullptr);

 private:
  void rebuild();

  MachineMenu* machines_;
  QActionGroup* choices_ = nullptr;
};

}  // namespace quorrel::app
