#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "gcode/machines/machines_file.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

namespace quorrel::app {

/// The Machines dialog: adds, changes, renames and removes the machines of the machines file.
/// Every value is checked as quorrel-gcode checks its option, and what is wrong is shown beside
/// its field; Save writes the file through the safe save only when every machine is sound, and
/// only when nobody else changed the file since the dialog read it.
class MachinesDialog : public QDialog {
  Q_OBJECT

 public:
  /// `file` is the machines file at `path` as read, without a fault.
  MachinesDialog(std::string path, const MachinesFile& file, QWidget* parent = nullptr);

  /// The name the machine first named `name` has after the dialog, or nothing if it was removed.
  std::optional<std::string> nameAfter(const std::string& name) const;

 private:
  // A machine as its fields hold it, sound or not.
  struct Draft {
    std::string firstName;  // as read; empty for a machine added here
    QString name;
    std::array<QString, kSettings.size()> texts;
  };

  void addRow(const SettingDescription& setting, int row);
  void showDraft(int index);
  void addMachine();
  void removeMachine();
  // What is wrong with a field of a draft, or an empty text.
  QString problemOf(const Draft& draft, std::optional<Setting> setting) const;
  // The machine the draft's texts make, each text that cannot be used left out.
  static Machine MachineOf(const Draft& draft);
  void showProblems();
  std::optional<std::vector<Machine>> soundMachines();
  void save();

  std::string path_;
  std::string readText_;
  std::vector<Draft> drafts_;
  int current_ = -1;
  bool showing_ = false;  // the fields are being filled from a draft, not edited

  QListWidget* list_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLabel* nameProblem_ = nullptr;
  QWidget* fields_ = nullptr;
  std::array<QWidget*, kSettings.size()> editors_{};
  std::array<QLabel*, kSettings.size()> problems_{};
  QLabel* status_ = nullptr;
};

}  // namespace quorrel::app
