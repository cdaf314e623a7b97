#pragma once

#include <QMenu>
#include <optional>
#include <string>

#include "gcode/machines/machines_file.h"

class QActionGroup;

namespace quorrel::app {

class WindowMemory;

/// A machine as the window names it: "Router (GRBL)".
QString MachineLabel(const Machine& machine);

/// The Machine menu: the window's own program or one of the machines file's machines, the side
/// of the contour an outline runs on, and the way to the Machines dialog. It keeps the machines
/// as last read, reads the file again whenever it opens, and remembers the chosen machine, and
/// the operation chosen with each machine, for the next start. A file that cannot be read leaves
/// the window its own program.
class MachineMenu : public QMenu {
  Q_OBJECT

 public:
  /// Remembers its choices in `memory`, which outlives it.
  explicit MachineMenu(WindowMemory& memory, QWidget* parent = nullptr);

  /// The chosen machine, or null for the window's own program.
  const Machine* chosen() const;
  /// The chosen machine's name, or nothing for the window's own program.
  std::optional<std::string> chosenName() const { return chosenName_; }
  /// An outline cut from outside the contour; only with a machine.
  bool outside() const;
  void setOutside(bool outside);
  /// The operation chosen with the chosen machine, by its command-line name; empty for the
  /// form's shapes, as always without a machine.
  std::string operation() const;
  /// Chooses the operation named `name` (empty for the form's shapes) for the chosen machine,
  /// and remembers it with the machine.
  void chooseOperation(const std::string& name);
  /// The machines file as last read; `fault` says what is wrong with it.
  const MachinesFile& machinesFile() const { return file_; }
  const std::string& machinesFilePath() const { return path_; }

  /// Reads the machines file again where it changed; a chosen machine that is gone leaves the
  /// window its own program, and one that was renamed (`renamedTo`) stays chosen.
  void reload(const std::optional<std::string>& renamedTo = std::nullopt);
  /// Chooses the machine named `name`, or the window's own program, and remembers it.
  void choose(const std::optional<std::string>& name);

 signals:
  /// The chosen machine, its settings or the side changed.
  void choiceChanged();
  /// The machinist asked for the Machines dialog.
  void machinesRequested();

 private:
  void rebuild();
  void rememberChoice();

  std::string path_;
  MachinesFile file_;
  std::optional<std::string> chosenName_;
  WindowMemory& memory_;
  bool outside_ = false;
  QActionGroup* machines_ = nullptr;
  QActionGroup* sides_ = nullptr;
};

}  // namespace quorrel::app
