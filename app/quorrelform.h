#pragma once

#include <QMainWindow>
#include <array>

#include "app/formdialogs.h"
#include "app/previewrendering.h"
#include "app/windowmemory.h"
#include "gcode/job/field_table.h"
#include "gcode/jobs/job_document.h"
#include "gcode/save/save_command.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QAction;

namespace quorrel::app {

class CommonDialog;
class MachineMenu;
class JobPanel;
class OperationMenu;
class OperationPanel;
class ShapePictogram;
class RunTimeStatus;
class ToolpathPreview;

/// Quorrel's window: the seven fields of a job, the shape choice with its pictogram, the "Fill"
/// check box, the File menu, the Machine menu that chooses what the program is for, the
/// Operation menu that with a machine puts holes or a facing in place of the shapes, the run time
/// under the fields while a machine is chosen, and the Toolpath Preview beside it. It reads the
/// controls and hands the job to the save command; what a program holds is decided in gcode/, never
/// here.
class QuorrelForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit QuorrelForm(QWidget* parent = nullptr);

  /// Replaces the modal boxes, for tests.
  void setDialogs(FormDialogs dialogs) { dialogs_ = std::move(dialogs); }

  /// The job as the controls hold it now, texts exactly as typed, for the chosen machine.
  SaveRequest currentRequest() const;
  /// What the preview and the run time show: the Job panel's job where it has two operations or
  /// more, else the form's.
  PreviewSubject currentSubject() const;

 public slots:
  /// Shows the chosen shape's pictogram and, for the shapes with a radius, the Radius field.
  void Option1_Click(short index);
  void menu_file_save_Click();
  void menu_file_exit_Click();
  /// Opens the Machines dialog, unless the machines file cannot be read.
  void editMachines();
  /// Shows or hides the Toolpath Preview.
  void showPreview(bool shown);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createMenus();
  // The form's operation as a row of the Job panel, or nothing without a machine (said so).
  std::optional<JobRow> currentRow();
  // Puts a row's machine, operation and fields into the form.
  void showRow(const JobRow& row);
  std::variant<std::monostate, Job, std::string> panelJob() const;
  // Opens a job file: the one chosen in a dialog, or `path`.
  void openJob(const std::optional<std::string>& path = std::nullopt);
  void saveJob();
  void saveJobProgram();
  void watchTheJob();
  void machineChanged();
  // Shows the chosen operation's panel and fields, or the form's shapes as they were.
  void showOperation();
  void reportMachinesFileFault();
  void createControls(QWidget* client);
  void createPreview(QWidget* client);
  void setTabOrder();
  void fitFontToDesign();

  FormDialogs dialogs_;
  WindowMemory memory_;  // before the menus that remember in it
  QButtonGroup* option1_ = nullptr;
  std::array<QRadioButton*, 3> option1Buttons_{};
  std::array<ShapePictogram*, 3> shapes_{};
  // The seven text boxes Text1(0) ... Text6, in the order of the job's fields.
  std::array<QLineEdit*, kFields.size()> fields_{};
  std::array<QLabel*, kFields.size()> captions_{};
  QLineEdit* field(Field which) const { return fields_[static_cast<std::size_t>(which)]; }
  QLabel* caption(Field which) const { return captions_[static_cast<std::size_t>(which)]; }
  // The red cross at the shape's centre and its "Zero".
  std::array<QWidget*, 3> zeroMark_{};
  QLabel* label4_ = nullptr;
  CommonDialog* commonDialog1_ = nullptr;
  QCheckBox* check1_ = nullptr;
  MachineMenu* machineMenu_ = nullptr;
  OperationMenu* operationMenu_ = nullptr;
  OperationPanel* operationPanel_ = nullptr;
  QAction* previewAction_ = nullptr;
  QAction* jobAction_ = nullptr;
  JobPanel* jobPanel_ = nullptr;
  ToolpathPreview* preview_ = nullptr;
  RunTimeStatus* runTime_ = nullptr;  // under the fields, while a machine is chosen
};

}  // namespace quorrel::app
