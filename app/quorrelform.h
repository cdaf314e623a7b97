#pragma once

#include <QMainWindow>
#include <array>

#include "app/formdialogs.h"
#include "gcode/save_command.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace quorrel::app {

class ShapePictogram;

/// Quorrel's one window: the seven fields of a job, the shape choice with its pictogram, the
/// "Fill" check box and the File menu. It reads the controls and hands the job to the save
/// command; what a program holds is decided in gcode/, never here.
class QuorrelForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit QuorrelForm(QWidget* parent = nullptr);

  /// Replaces the modal boxes, for tests.
  void setDialogs(FormDialogs dialogs) { dialogs_ = std::move(dialogs); }

  /// The job as the controls hold it now, texts exactly as typed.
  SaveRequest currentRequest() const;

 public slots:
  /// Shows the chosen shape's pictogram and, for the shapes with a radius, the Radius field.
  void Option1_Click(short index);
  void menu_file_save_Click();
  void menu_file_exit_Click();

 private:
  void createMenus();
  void createControls(QWidget* client);
  void createPreview(QWidget* client);
  void setTabOrder();
  void fitFontToDesign();
  QLineEdit* addField(QWidget* client, const char* name, const QString& text, QRect geometry);
  QLabel* addCaption(QWidget* client, const char* name, const QString& caption, QRect geometry);

  FormDialogs dialogs_;
  QButtonGroup* option1_ = nullptr;
  std::array<QRadioButton*, 3> option1Buttons_{};
  std::array<ShapePictogram*, 3> shapes_{};
  std::array<QLineEdit*, 2> text1_{};
  QLineEdit* text2_ = nullptr;
  QLineEdit* text3_ = nullptr;
  QLineEdit* text4_ = nullptr;
  QLineEdit* text5_ = nullptr;
  QLineEdit* text6_ = nullptr;
  QLabel* label4_ = nullptr;
  QCheckBox* check1_ = nullptr;
};

}  // namespace quorrel::app
