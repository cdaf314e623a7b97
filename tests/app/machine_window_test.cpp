#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "app/machinesdialog.h"
#include "app/quorrelform.h"
#include "app/runtimestatus.h"
#include "app/toolpathpreview.h"
#include "gcode/job/field_table.h"
#include "gcode/shapes/operation.h"
#include "tests/app/scripted_person.h"
#include "tests/support/configuration_folder.h"
#include "tests/support/controller_checks.h"
#include "tests/support/golden_cases.h"
#include "tests/support/run_process.h"

using quorrel::app::MachinesDialog;
using quorrel::app::QuorrelForm;
using quorrel::app::RunTimeStatus;
using quorrel::app::ToolpathPreview;
using quorrel::testing::AnswerWhenShown;
using quorrel::testing::ConfigurationFolder;
using quorrel::testing::ScriptedPerson;

namespace {

// The two machines of the README and one that spaces its Fills closer, or leaves too much.
const std::string kMachines = std::string(ConfigurationFolder::kTwoMachines) + R"(
[[machine]]
name = "Pocketer"
dialect = "grbl"
units = "mm"
feed = 800
stepover = 40

[[machine]]
name = "Plate cutter"
dialect = "grbl"
units = "mm"
feed = 800
step-down = 2
tabs = 4

[[machine]]
name = "Heavy finish"
dialect = "linuxcnc"
units = "mm"
feed = 300
finish = 20
)";

const char* const kNoMachine = "No machine: the window's program (.din)";

// A job every shape can be made from, in ordinary numbers, as the fields and as the tool's
// options.
const struct {
  const char* control;
  const char* option;
  const char* text;
} kJob[] = {
    {"Text1_0", "--center-x=", "12.5"},
    {"Text1_1", "--center-y=", "-3.25"},
    {"Text2", "--width=", "30"},
    {"Text3", "--height=", "20"},
    {"Text4", "--radius=", "4"},
    {"Text5", "--tool-radius=", "1.5"},
    {"Text6", "--depth=", "-3"},
    {"Text_holes", "--holes=", "6"},
    {"Text_start_angle", "--start-angle=", "15"},
    {"Text_columns", "--columns=", "3"},
    {"Text_rows", "--rows=", "2"},
};

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return texts;
}

}  // namespace

class MachineWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void machineMenuFollowsTheMachinesFile_data();
  void machineMenuFollowsTheMachinesFile();
  void savesWhatTheToolWritesForTheMachine_data();
  void savesWhatTheToolWritesForTheMachine();
  void refusesBeforeTheDialogWhatTheToolRefuses_data();
  void refusesBeforeTheDialogWhatTheToolRefuses();
  void theKeyboardReachesMachineAndPreview();
  void anOperationTakesThePlaceOfTheShapes();
  void aJobIsMadeSavedOpenedAndWrittenWhole();
  void theChoiceSurvivesARestart();
  void aBrokenMachinesFileIsNeverOverwritten();
  void theDialogRefusesABadValueBesideItsField();
  void theDialogKeepsWhatAnotherWindowSaved();
  void theDialogChecksTheMachineWhole();
  void thePreviewRedrawsAsTheJobChanges();
  void theRunTimeStandsUnderTheFields();
  void picturesTheWindowForTheReadme();

 private:
  void start(const std::string& machines);
  template <class T>
  T* control(const char* name) {
    T* found = form_->findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no control %s", name);
    return found;
  }
  QMenu* machineMenu() { return control<QMenu>("menu_machine"); }
  void choose(const QString& machine);
  void typeTheJob();
  std::vector<std::string> toolArgumentsForTheJob(const QString& shape) const;
  void openPreview();
  ToolpathPreview* preview() {
    return form_->findChild<ToolpathPreview*>(QStringLiteral("ToolpathPreview"));
  }

  std::optional<ConfigurationFolder> configuration_;
  QuorrelForm* form_ = nullptr;
  ScriptedPerson person_;
  QTemporaryDir folder_;
};

void MachineWindowTest::init() {
  configuration_.emplace();
  person_ = ScriptedPerson();
}

void MachineWindowTest::cleanup() {
  delete form_;
  form_ = nullptr;
  configuration_.reset();
}

// Starts the window on `machines` as the machines file ("" for none).
void MachineWindowTest::start(const std::string& machines) {
  if (!machines.empty()) configuration_->WriteMachines(machines);
  delete form_;
  form_ = new QuorrelForm;
  form_->setDialogs(person_.dialogs());
  QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
  form_->show();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  QCoreApplication::processEvents();  // what the window tells once it is up
}

void MachineWindowTest::choose(const QString& machine) {
  for (QAction* action : machineMenu()->actions()) {
    if (action->data().toString() == machine) return action->trigger();
  }
  QFAIL(qPrintable(QStringLiteral("no machine ") + machine));
}

void MachineWindowTest::typeTheJob() {
  for (const auto& field : kJob) control<QLineEdit>(field.control)->setText(field.text);
}

// The tool takes only the fields the shape is made from.
std::vector<std::string> MachineWindowTest::toolArgumentsForTheJob(const QString& shape) const {
  const quorrel::Operation* operation = quorrel::OperationNamed(shape.toStdString());
  std::vector<std::string> arguments;
  for (const auto& field : kJob) {
    const std::string option = field.option;
    for (const quorrel::FieldDescription& description : quorrel::kJobFields) {
      if (description.option == option.substr(0, option.size() - 1) &&
          operation->UsesField(description.field)) {
        arguments.push_back(option + field.text);
      }
    }
  }
  return arguments;
}

void MachineWindowTest::openPreview() {
  control<QAction>("menu_view_preview")->trigger();
  QVERIFY(preview() != nullptr && preview()->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(preview()->shownCount() > 0, 5000);
}

void MachineWindowTest::machineMenuFollowsTheMachinesFile_data() {
  QTest::addColumn<QString>("machines");
  QTest::addColumn<QStringList>("items");
  QTest::addColumn<QString>("message");
  const QStringList tail{"-", "&Inside the contour", "&Outside the contour", "-", "&Machines…"};
  QTest::newRow("none") << QString() << QStringList{kNoMachine} + tail << QString();
  QTest::newRow("two") << ConfigurationFolder::kTwoMachines
                       << QStringList{kNoMachine, "Router (GRBL)", "Mill (LinuxCNC)"} + tail
                       << QString();
  QTest::newRow("broken") << "[[machine]]\nname = \"Router\"\nfeed = -5\n"
                          << QStringList{kNoMachine} + tail
                          << "machines.toml\", line 3: feed must be above 0 (at least .001)";
  // One machine's mistake takes only that machine; two names a person reads as one take both.
  QTest::newRow("one bad of three")
      << QString::fromUtf8(ConfigurationFolder::kTwoMachines) +
             "\n[[machine]]\nname = \"Laser\"\ndialect = \"grbl\"\nunits = \"mm\"\n"
             "feed = 900\nspindle-speed = 1000\n\n[[machine]]\nname = \" mill\"\n"
             "dialect = \"grbl\"\nunits = \"mm\"\nfeed = 9\n"
      << QStringList{kNoMachine, "Router (GRBL)"} + tail << "\"Laser\": the machines file";
}

void MachineWindowTest::machineMenuFollowsTheMachinesFile() {
  QFETCH(QString, machines);
  QFETCH(QStringList, items);
  QFETCH(QString, message);
  start(machines.toStdString());
  QMenu* menu = machineMenu();
  QCOMPARE(form_->menuBar()->actions()[1]->text(), QStringLiteral("&Machine"));
  QCOMPARE(MenuTexts(menu), items);
  QVERIFY(menu->actions()[0]->isChecked());
  QVERIFY(!control<QAction>("menu_machine_inside")->isEnabled());  // a side needs a machine
  QCOMPARE(person_.messages.size(), message.isEmpty() ? 0 : 1);
  if (!message.isEmpty())
    QVERIFY2(person_.messages[0].contains(message), qPrintable(person_.messages[0]));
  if (QByteArray(QTest::currentDataTag()) == "one bad of three") {
    // Every mistake is listed, not only the first.
    QVERIFY2(person_.messages[0].contains(QLatin1String("\"spindle-speed\" is no setting")) &&
                 person_.messages[0].contains(QLatin1String("\"Mill\" (line 12) and \" mill\"")),
             qPrintable(person_.messages[0]));
  }
  QCOMPARE(form_->windowTitle(), QStringLiteral("Quorrel's (by the Quorrel developers)"));
}

void MachineWindowTest::savesWhatTheToolWritesForTheMachine_data() {
  QTest::addColumn<QString>("machine");
  QTest::addColumn<bool>("outside");
  QTest::addColumn<QString>("shape");
  QTest::addColumn<bool>("fill");
  QTest::addColumn<QString>("proposed");
  QTest::addColumn<QString>("note");
  const struct {
    const char* name;
    const char* machine;
    bool outside;
    const char* shape;
    bool fill;
    const char* proposed;
    const char* note;
  } rows[] = {
      {"GRBL rectangle", "Router", false, "rectangle", false, "File1.nc", ""},
      {"GRBL disc cut out", "Router", true, "circle", false, "File1.nc", ""},
      {"LinuxCNC rounded pocket, ramp and finish", "Mill", false, "rounded-rectangle", true,
       "File1.ngc", ""},
      {"a stepover is noted for an outline", "Pocketer", false, "circle", false, "File1.nc",
       "at 40 %"},
      {"a stepover spaces a Fill", "Pocketer", false, "rectangle", true, "File1.nc", ""},
      {"a plate held by tabs", "Plate cutter", true, "rectangle", false, "File1.nc", ""},
      {"tabs are noted for a Fill", "Plate cutter", false, "rounded-rectangle", true, "File1.nc",
       "with 4 tabs"},
      {"GRBL bolt-hole circle, the machine's step-down not used", "Router", false, "bolt-circle",
       false, "File1.nc", ""},
      {"LinuxCNC hole grid in inches, the machine's ramp not used", "Mill", false, "hole-grid",
       false, "File1.ngc", ""},
      {"GRBL one hole", "Pocketer", false, "hole", false, "File1.nc", ""},
      {"LinuxCNC facing, the machine's finish not used", "Heavy finish", false, "face", false,
       "File1.ngc", ""},
      {"GRBL facing at the machine's stepover", "Pocketer", false, "face", false, "File1.nc", ""},
      {"GRBL facing, the machine's tabs not used", "Plate cutter", false, "face", false, "File1.nc",
       ""},
  };
  for (const auto& row : rows) {
    QTest::newRow(row.name) << row.machine << row.outside << row.shape << row.fill << row.proposed
                            << row.note;
  }
}

void MachineWindowTest::savesWhatTheToolWritesForTheMachine() {
  QFETCH(QString, machine);
  QFETCH(bool, outside);
  QFETCH(QString, shape);
  QFETCH(bool, fill);
  QFETCH(QString, proposed);
  QFETCH(QString, note);
  start(kMachines);
  choose(machine);
  if (outside) control<QAction>("menu_machine_outside")->trigger();
  typeTheJob();
  const quorrel::Operation* operation = quorrel::OperationNamed(shape.toStdString());
  if (operation->windowProgram()) {
    control<QRadioButton>(("Option1_" + std::to_string(static_cast<int>(operation->kind))).c_str())
        ->click();
  } else {
    control<QAction>(("menu_operation_" + QString(shape).replace('-', '_').toStdString()).c_str())
        ->trigger();
  }
  if (fill) control<QCheckBox>("Check1")->click();
  QVERIFY(form_->windowTitle().endsWith(QStringLiteral(" — ") + machine +
                                        (proposed.endsWith(QLatin1String(".nc"))
                                             ? QStringLiteral(" (GRBL)")
                                             : QStringLiteral(" (LinuxCNC)"))));

  person_.savePath = folder_.filePath(proposed);
  control<QAction>("menu_file_save")->trigger();
  QCOMPARE(person_.messages, QStringList());
  QCOMPARE(person_.shownName, proposed);
  QVERIFY(person_.shownFilter.endsWith(QStringLiteral(";;All files (*)")));
  QCOMPARE(person_.notes.size(), note.isEmpty() ? 0 : 1);
  if (!note.isEmpty()) {
    QVERIFY(person_.notedBeforeDialog);
    QVERIFY2(person_.notes[0].contains(note), qPrintable(person_.notes[0]));
  }

  std::vector<std::string> arguments = toolArgumentsForTheJob(shape);
  arguments.push_back("--machine=" + machine.toStdString());
  arguments.push_back("--shape=" + shape.toStdString());
  if (outside) arguments.push_back("--side=outside");
  if (fill) arguments.push_back("--fill");
  const quorrel::testing::ProcessResult tool =
      quorrel::testing::RunProcess(quorrel::testing::GcodeToolPath(), arguments, {{"LC_ALL", "C"}});
  QCOMPARE(tool.exitStatus, 0);
  const std::string saved = quorrel::testing::ReadFileBytes(person_.savePath.toStdString());
  QCOMPARE(saved, tool.standardOutput);
  // A program the controller runs as it stands.
  QCOMPARE(quorrel::testing::RunLinuxCnc(saved).error, std::string());
  if (proposed.endsWith(QLatin1String(".nc"))) {
    QCOMPARE(quorrel::testing::GrblRuleBreaks(saved, quorrel::Units::Millimetres).size(),
             std::size_t{0});
  }
}

void MachineWindowTest::refusesBeforeTheDialogWhatTheToolRefuses_data() {
  QTest::addColumn<QString>("machine");
  QTest::addColumn<QString>("toolRadius");
  QTest::addColumn<bool>("outsideFill");
  QTest::addColumn<QString>("words");
  QTest::newRow("outside with Fill")
      << "Router"
      << "1.5" << true << "A Fill pocket is always inside the contour";
  QTest::newRow("a field that is no number")
      << "Router"
      << "1,5" << false << "The Tool Radius \"1,5\" is not a number";
  QTest::newRow("an allowance with no room")
      << "Heavy finish"
      << "1.5" << false << "The finishing allowance leaves no room";
}

void MachineWindowTest::refusesBeforeTheDialogWhatTheToolRefuses() {
  QFETCH(QString, machine);
  QFETCH(QString, toolRadius);
  QFETCH(bool, outsideFill);
  QFETCH(QString, words);
  start(kMachines);
  choose(machine);
  typeTheJob();
  control<QLineEdit>("Text5")->setText(toolRadius);
  if (outsideFill) {
    control<QAction>("menu_machine_outside")->trigger();
    control<QCheckBox>("Check1")->click();
  }
  person_.savePath = folder_.filePath(QStringLiteral("part.nc"));
  control<QAction>("menu_file_save")->trigger();
  QCOMPARE(person_.saveDialogs, 0);
  QCOMPARE(person_.messages.size(), 1);
  QVERIFY2(person_.messages[0].contains(words), qPrintable(person_.messages[0]));
  QVERIFY(!QFile::exists(person_.savePath));
}

// Alt+M opens the Machine menu, the arrow keys and Return choose; F5 opens the preview.
void MachineWindowTest::theKeyboardReachesMachineAndPreview() {
  start(ConfigurationFolder::kTwoMachines);
  QTimer::singleShot(0, [] {
    QWidget* menu = QApplication::activePopupWidget();
    QVERIFY(menu != nullptr);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QTest::keyClick(form_, Qt::Key_M, Qt::AltModifier);
  QTRY_VERIFY(form_->windowTitle().endsWith(QStringLiteral(" — Router (GRBL)")));
  // The headless platform does not hand the activation back to the window when a menu closes.
  QApplication::setActiveWindow(form_);
  QCOMPARE(QApplication::activeWindow(), form_);
  QTest::keyClick(form_, Qt::Key_F5);
  QVERIFY(preview() != nullptr && preview()->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(preview()->shownCount() > 0, 5000);
  QCOMPARE(preview()->shownMessage(), QString());
  QTest::keyClick(form_, Qt::Key_F5);
  QVERIFY(!preview()->isVisible());
}

// Holes or a facing stand where the shapes stand, reached by the keyboard; the shapes come back
// exactly as they were drawn; the operation is remembered with its machine.
void MachineWindowTest::anOperationTakesThePlaceOfTheShapes() {
  start(ConfigurationFolder::kTwoMachines);
  QMenu* operations = control<QMenu>("menu_operation");
  const QImage withoutMachine = form_->centralWidget()->grab().toImage();
  choose(QStringLiteral("Router"));
  QCOMPARE(MenuTexts(operations), (QStringList{"&Shape", "&Holes", "&Face"}));
  QCOMPARE(MenuTexts(control<QMenu>("menu_operation_holes")),
           (QStringList{"&One hole", "&Bolt-hole circle", "Hole &grid"}));
  QCOMPARE(form_->centralWidget()->grab().toImage(), withoutMachine);

  // Alt+O, down to Holes, into it, down to the bolt-hole circle.
  const auto press = [](std::initializer_list<Qt::Key> keys) {
    for (const Qt::Key key : keys) {
      QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
      QTest::keyClick(QApplication::activePopupWidget(), key);
      QTest::qWait(20);
    }
  };
  QTimer::singleShot(0, [&] {
    press({Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return});
  });
  QTest::keyClick(form_, Qt::Key_O, Qt::AltModifier);
  QTRY_VERIFY(control<QWidget>("OperationPanel")->isVisible());
  QApplication::setActiveWindow(form_);
  QCOMPARE(control<QLabel>("OperationTitle")->text(), QStringLiteral("Bolt-hole circle"));
  for (const char* shown : {"Text_holes", "Text_start_angle", "Text1_0", "Text4", "Text6"}) {
    QVERIFY2(control<QWidget>(shown)->isVisible(), shown);
  }
  for (const char* hidden :
       {"Text_columns", "Text_rows", "Text2", "Text3", "Check1", "Option1_0", "Shape1", "Label7"}) {
    QVERIFY2(!control<QWidget>(hidden)->isVisible(), hidden);
  }
  // The keyboard goes from the pattern's fields to those below.
  control<QLineEdit>("Text_holes")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), control<QWidget>("Text_start_angle"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), control<QWidget>("Text1_0"));
  QCOMPARE(form_->currentRequest().shape, quorrel::ShapeKind::BoltCircle);

  // Remembered with the machine, through a restart; another machine has its own.
  start(ConfigurationFolder::kTwoMachines);
  QVERIFY(control<QWidget>("OperationPanel")->isVisible());
  QVERIFY(control<QAction>("menu_operation_bolt_circle")->isChecked());
  choose(QStringLiteral("Mill"));
  QVERIFY(!control<QWidget>("OperationPanel")->isVisible());
  control<QAction>("menu_operation_face")->trigger();
  QCOMPARE(control<QLabel>("OperationTitle")->text(), QStringLiteral("Face"));
  choose(QStringLiteral("Router"));
  QCOMPARE(control<QLabel>("OperationTitle")->text(), QStringLiteral("Bolt-hole circle"));

  // The shapes come back as the window draws them, and without a machine they are all it offers.
  control<QAction>("menu_operation_shape")->trigger();
  QCOMPARE(form_->centralWidget()->grab().toImage(), withoutMachine);
  choose(QStringLiteral("Mill"));
  choose(QString());
  QCOMPARE(MenuTexts(control<QMenu>("menu_operation")), QStringList{"&Shape"});
  QCOMPARE(form_->centralWidget()->grab().toImage(), withoutMachine);
  QCOMPARE(form_->currentRequest().shape, quorrel::ShapeKind::Rectangle);
}

// The Job panel makes a job of the form's operations; the job is saved as a file, opened again,
// and written whole as quorrel-gcode --job writes that file.
void MachineWindowTest::aJobIsMadeSavedOpenedAndWrittenWhole() {
  start(kMachines);
  choose(QStringLiteral("Router"));
  control<QAction>("menu_view_job")->trigger();
  QVERIFY(control<QWidget>("JobPanel")->isVisible());
  control<QRadioButton>("Option1_1")->click();
  control<QCheckBox>("Check1")->click();
  for (const auto& [name, text] : {std::pair{"Text4", "12"}, {"Text5", "1.5"}, {"Text6", "-3"}}) {
    control<QLineEdit>(name)->setText(QLatin1String(text));
  }
  control<QPushButton>("jobAdd")->click();
  control<QAction>("menu_operation_bolt_circle")->trigger();
  for (const auto& [name, text] : {std::pair{"Text4", "20"},
                                   {"Text_holes", "4"},
                                   {"Text_start_angle", "45"},
                                   {"Text5", "2.5"},
                                   {"Text6", "-6"}}) {
    control<QLineEdit>(name)->setText(QLatin1String(text));
  }
  control<QPushButton>("jobAdd")->click();
  control<QSpinBox>("jobTool2")->setValue(2);
  QCOMPARE(control<QTableWidget>("jobOperations")->rowCount(), 2);

  // Saved as a job file, and written whole as the tool writes that file.
  const QString jobFile = folder_.filePath(QStringLiteral("plate.toml"));
  person_.savePath = jobFile;
  control<QAction>("menu_file_save_job")->trigger();
  QCOMPARE(person_.messages, QStringList());
  const std::string saved = quorrel::testing::ReadFileBytes(jobFile.toStdString());
  QVERIFY2(saved.find("machine = \"Router\"") != std::string::npos, saved.c_str());
  QVERIFY2(saved.find("shape = \"bolt-circle\"\ncenter-x = 0\ncenter-y = 0\nradius = 20") !=
               std::string::npos,
           saved.c_str());
  QVERIFY2(saved.find("tool = 2") != std::string::npos, saved.c_str());
  person_.savePath = folder_.filePath(QStringLiteral("plate.nc"));
  control<QAction>("menu_file_save")->trigger();
  QCOMPARE(person_.messages, QStringList());
  QCOMPARE(person_.shownName, QStringLiteral("File1.nc"));
  const quorrel::testing::ProcessResult tool = quorrel::testing::RunProcess(
      quorrel::testing::GcodeToolPath(), {"--job=" + jobFile.toStdString()}, {{"LC_ALL", "C"}});
  QCOMPARE(tool.exitStatus, 0);
  const std::string program = quorrel::testing::ReadFileBytes(person_.savePath.toStdString());
  QCOMPARE(program, tool.standardOutput);
  QVERIFY(program.find("( fit tool 2 and set Z zero on it, then cycle start )\nM0") !=
          std::string::npos);
  // The preview and the run time show the whole job.
  openPreview();
  QTRY_VERIFY_WITH_TIMEOUT(preview()->shownCount() > 0, 5000);
  QCOMPARE(preview()->shownMessage(), QString());
  QTRY_VERIFY(control<QLabel>("runTime")->text().startsWith(QStringLiteral("run time: ")));

  // Opened again in a new window; a row chosen puts its operation into the form.
  start(kMachines);
  person_.openPath = jobFile;
  control<QAction>("menu_file_open_job")->trigger();
  QCOMPARE(person_.messages, QStringList());
  QVERIFY(control<QWidget>("JobPanel")->isVisible());
  auto* table = control<QTableWidget>("jobOperations");
  QCOMPARE(table->rowCount(), 2);
  table->selectRow(1);
  QVERIFY(control<QWidget>("OperationPanel")->isVisible());
  QCOMPARE(control<QLineEdit>("Text_start_angle")->text(), QStringLiteral("45"));
  QCOMPARE(control<QLineEdit>("Text4")->text(), QStringLiteral("20"));
  QVERIFY(form_->windowTitle().endsWith(QStringLiteral(" — Router (GRBL)")));
  auto* recent = control<QMenu>("menu_file_recent_jobs");
  emit recent->aboutToShow();
  QCOMPARE(recent->actions().size(), 1);
  QCOMPARE(recent->actions()[0]->text(), jobFile);
  // With one operation left, Save G-Code writes the form's own, as without a job.
  control<QPushButton>("jobRemove")->click();
  QCOMPARE(table->rowCount(), 1);
  person_.savePath = folder_.filePath(QStringLiteral("one.nc"));
  control<QAction>("menu_file_save")->trigger();
  const std::string one = quorrel::testing::ReadFileBytes(person_.savePath.toStdString());
  QVERIFY2(one.starts_with("( bolt circle R20 holes 4 )"), one.c_str());
}

void MachineWindowTest::theChoiceSurvivesARestart() {
  start(ConfigurationFolder::kTwoMachines);
  choose(QStringLiteral("Mill"));
  control<QAction>("menu_machine_outside")->trigger();
  control<QLineEdit>("Text2")->setText(QStringLiteral("25"));
  start(ConfigurationFolder::kTwoMachines);
  QVERIFY(form_->windowTitle().endsWith(QStringLiteral(" — Mill (LinuxCNC)")));
  QVERIFY(machineMenu()->actions()[2]->isChecked());
  // The fields and the side start as always.
  QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("10"));
  QVERIFY(control<QAction>("menu_machine_inside")->isChecked());
  // A machine that left the file leaves the window its own program.
  start("[[machine]]\nname = \"Router\"\ndialect = \"grbl\"\nunits = \"mm\"\nfeed = 1\n");
  QCOMPARE(form_->windowTitle(), QStringLiteral("Quorrel's (by the Quorrel developers)"));
}

void MachineWindowTest::aBrokenMachinesFileIsNeverOverwritten() {
  const std::string broken = std::string(ConfigurationFolder::kTwoMachines) + "feedrate = 9\n";
  start(broken);
  QCOMPARE(person_.messages.size(), 1);
  QVERIFY2(person_.messages[0].contains(QLatin1String("\"feedrate\" is no setting")),
           qPrintable(person_.messages[0]));
  control<QAction>("menu_machine_edit")->trigger();
  QCOMPARE(person_.messages.size(), 2);
  QVERIFY(person_.messages[1].contains(QLatin1String("does not write over a file")));
  // The window's own program is saved all the same.
  person_.savePath = folder_.filePath(QStringLiteral("part.din"));
  control<QAction>("menu_file_save")->trigger();
  QCOMPARE(person_.messages.size(), 2);
  QVERIFY(QFile::exists(person_.savePath));
  machineMenu()->popup(QPoint());  // reads the file again
  machineMenu()->hide();
  QCOMPARE(configuration_->Read("machines.toml"), broken);
}

void MachineWindowTest::theDialogRefusesABadValueBesideItsField() {
  start(ConfigurationFolder::kTwoMachines);
  choose(QStringLiteral("Router"));
  const std::string before = configuration_->Read("machines.toml");
  AnswerWhenShown<MachinesDialog>([this, before](MachinesDialog* dialog) {
    auto* feed = dialog->findChild<QLineEdit*>(QStringLiteral("feed"));
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("name"));
    auto* save = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save);
    QCOMPARE(feed->text(), QStringLiteral("1000"));
    feed->selectAll();
    QTest::keyClicks(feed, QStringLiteral("-5"));
    auto* problem = dialog->findChild<QLabel*>(QStringLiteral("problem_feed"));
    QCOMPARE(problem->text(), QStringLiteral("must be above 0 (at least .001), not -5"));
    save->click();
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("status"))
                ->text()
                .contains(QLatin1String("Nothing was saved")));
    QCOMPARE(configuration_->Read("machines.toml"), before);

    // Mended, renamed, and a machine added: all saved at once.
    feed->selectAll();
    QTest::keyClicks(feed, QStringLiteral("1200"));
    QVERIFY(problem->text().isEmpty());
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Shapeoko"));
    dialog->findChild<QPushButton*>(QStringLiteral("add"))->click();
    QTest::keyClicks(feed, QStringLiteral("50"));
    save->click();
    QVERIFY(!dialog->isVisible());
  });
  control<QAction>("menu_machine_edit")->trigger();
  QCOMPARE(MenuTexts(machineMenu()).mid(0, 4),
           (QStringList{kNoMachine, "Shapeoko (GRBL)", "Mill (LinuxCNC)", "Machine 3 (LinuxCNC)"}));
  QVERIFY(form_->windowTitle().endsWith(QStringLiteral(" — Shapeoko (GRBL)")));
  const quorrel::testing::ProcessResult tool = quorrel::testing::RunProcess(
      quorrel::testing::GcodeToolPath(), {"--machine=Shapeoko"}, {{"LC_ALL", "C"}});
  QCOMPARE(tool.exitStatus, 0);
  QVERIFY(tool.standardOutput.find("F1200") != std::string::npos);
}

// Two windows: what one saved is not written over by the other's older copy.
void MachineWindowTest::theDialogKeepsWhatAnotherWindowSaved() {
  start(ConfigurationFolder::kTwoMachines);
  const std::string other =
      "[[machine]]\nname = \"Other\"\ndialect = \"grbl\"\nunits = \"mm\"\n"
      "feed = 10\n";
  AnswerWhenShown<MachinesDialog>([this, other](MachinesDialog* dialog) {
    configuration_->WriteMachines(other);
    auto* feed = dialog->findChild<QLineEdit*>(QStringLiteral("feed"));
    feed->selectAll();
    QTest::keyClicks(feed, QStringLiteral("900"));
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
    QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("status"))
                ->text()
                .contains(QLatin1String("changed elsewhere")));
    dialog->reject();
  });
  control<QAction>("menu_machine_edit")->trigger();
  QCOMPARE(configuration_->Read("machines.toml"), other);
}

// The Machines dialog's checks of a machine's settings together, on the Router of two machines.
void CheckTheMachineWhole(MachinesDialog* dialog) {
  const auto problem = [dialog](const char* key) {
    return dialog->findChild<QLabel*>(QStringLiteral("problem_") + QLatin1String(key))->text();
  };
  auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("name"));
  name->selectAll();
  QTest::keyClicks(name, QStringLiteral("MILL "));
  QVERIFY2(problem("name").contains(QLatin1String("another machine has this name")),
           qPrintable(problem("name")));
  name->selectAll();
  QTest::keyClicks(name, QStringLiteral("Router"));
  auto* feed = dialog->findChild<QLineEdit*>(QStringLiteral("feed"));
  feed->selectAll();
  QTest::keyClicks(feed, QStringLiteral("1e12"));
  QCOMPARE(problem("feed"), QStringLiteral("must be at most 100000 (mm per minute), not 1e+12"));
  feed->selectAll();
  QTest::keyClicks(feed, QStringLiteral("1000"));
  auto* spindle = dialog->findChild<QLineEdit*>(QStringLiteral("spindle"));
  spindle->selectAll();
  QTest::keyClick(spindle, Qt::Key_Backspace);
  QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("spindle-delay")),
                   QStringLiteral("2"));
  QVERIFY(problem("spindle-delay").contains(QLatin1String("give the spindle's speed too")));
  QTest::keyClicks(spindle, QStringLiteral("18000"));
  QVERIFY(problem("spindle-delay").isEmpty());
  dialog->findChild<QPushButton*>(QStringLiteral("remove"))->click();
  dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
  QVERIFY(!dialog->isVisible());
}

// Names a person reads as one, bounds in the machine's units and a delay without a spindle are
// refused beside their fields; removing the chosen machine says what Save G-Code writes now.
void MachineWindowTest::theDialogChecksTheMachineWhole() {
  start(ConfigurationFolder::kTwoMachines);
  choose(QStringLiteral("Router"));
  AnswerWhenShown<MachinesDialog>([](MachinesDialog* dialog) {
    CheckTheMachineWhole(dialog);
    if (dialog->isVisible()) dialog->reject();  // a check failed and returned
  });
  control<QAction>("menu_machine_edit")->trigger();
  QCOMPARE(person_.messages.size(), 1);
  QVERIFY2(person_.messages[0].contains(
               QLatin1String("\"Router\" was removed: Save G-Code now writes the window's own")),
           qPrintable(person_.messages[0]));
  QCOMPARE(form_->windowTitle(), QStringLiteral("Quorrel's (by the Quorrel developers)"));
}

void MachineWindowTest::thePreviewRedrawsAsTheJobChanges() {
  start(ConfigurationFolder::kTwoMachines);
  choose(QStringLiteral("Router"));
  openPreview();
  ToolpathPreview* preview = this->preview();
  QCOMPARE(preview->shownMessage(), QString());
  // The form keeps the keyboard while the preview is open.
  QCOMPARE(QApplication::activeWindow(), form_);

  // Within 100 ms of the last key, as a rule: the best of a few tries, for a busy machine.
  QLineEdit* width = control<QLineEdit>("Text2");
  width->setFocus();
  qint64 fastest = 1000000;
  for (int attempt = 0; attempt < 10; ++attempt) {
    const int before = preview->shownCount();
    QTest::keyClick(width, Qt::Key_1);
    QElapsedTimer sinceTheKey;
    sinceTheKey.start();
    // Looked at every few milliseconds, where QTRY_VERIFY would look every 50.
    QVERIFY(QTest::qWaitFor([&] { return preview->shownCount() > before; }, 5000));
    fastest = std::min(fastest, sinceTheKey.elapsed());
  }
  QVERIFY2(fastest < 100, qPrintable(QString::number(fastest)));

  // A job that cannot be written shows why, in place of the drawing.
  control<QLineEdit>("Text5")->setText(QStringLiteral("-1"));
  QTRY_VERIFY_WITH_TIMEOUT(!preview->shownMessage().isEmpty(), 5000);
  QVERIFY2(preview->shownMessage().contains(QLatin1String("Tool Radius")),
           qPrintable(preview->shownMessage()));
  control<QLineEdit>("Text5")->setText(QStringLiteral("1"));
  QTRY_VERIFY_WITH_TIMEOUT(preview->shownMessage().isEmpty(), 5000);

  // Zoomed and moved with the keys, and drawn again at the new size.
  preview->activateWindow();
  const int drawn = preview->shownCount();
  QTest::keyClick(preview, Qt::Key_Plus);
  QTest::keyClick(preview, Qt::Key_Left);
  QVERIFY(preview->view().zoom > 1.0);
  QVERIFY(preview->view().centre.has_value());
  preview->resize(500, 300);
  QTRY_VERIFY_WITH_TIMEOUT(preview->shownCount() > drawn, 5000);
  QTRY_COMPARE(preview->view().size, QSize(500, 300));
  const int resized = preview->shownCount();
  QTest::keyClick(preview, Qt::Key_0);
  QCOMPARE(preview->view().zoom, 1.0);
  QTRY_VERIFY_WITH_TIMEOUT(preview->shownCount() > resized, 5000);
  // The drawing is there: the cuts, the axes and the legend on white.
  const QImage image = preview->grab().toImage();
  int ink = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 200 ? 1 : 0;
  }
  QVERIFY2(ink > 500, qPrintable(QString::number(ink)));

  // Closing the form closes its preview: nothing keeps Quorrel running.
  form_->close();
  QVERIFY(!preview->isVisible());
}

// With a machine chosen the run time stands under the fields, as the tool says it, and follows
// the job; past 8 hours it is said in a warning colour; without a machine there is none.
void MachineWindowTest::theRunTimeStandsUnderTheFields() {
  start(ConfigurationFolder::kTwoMachines);
  auto* runTime = control<RunTimeStatus>("runTime");
  QVERIFY(!runTime->isVisible());
  const QSize ownSize = form_->size();
  choose(QStringLiteral("Router"));
  typeTheJob();
  QTRY_VERIFY(runTime->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(runTime->text().startsWith(QLatin1String("run time: ")), 5000);
  std::vector<std::string> arguments = toolArgumentsForTheJob(QStringLiteral("rectangle"));
  arguments.insert(arguments.end(), {"--machine=Router", "--estimate"});
  const quorrel::testing::ProcessResult tool =
      quorrel::testing::RunProcess(quorrel::testing::GcodeToolPath(), arguments, {{"LC_ALL", "C"}});
  QTRY_COMPARE_WITH_TIMEOUT(runTime->text() + QLatin1Char('\n'),
                            QString::fromStdString(tool.standardOutput), 5000);
  QVERIFY(runTime->styleSheet().isEmpty());

  // A Fill of a large pocket with a small cutter runs for days.
  const int shown = runTime->shownCount();
  control<QLineEdit>("Text2")->setText(QStringLiteral("600"));
  control<QLineEdit>("Text3")->setText(QStringLiteral("600"));
  control<QLineEdit>("Text5")->setText(QStringLiteral("0.5"));
  control<QCheckBox>("Check1")->click();
  QTRY_VERIFY_WITH_TIMEOUT(runTime->shownCount() > shown && !runTime->styleSheet().isEmpty(),
                           10000);
  QVERIFY2(runTime->text().contains(QLatin1String(" h ")), qPrintable(runTime->text()));

  choose(QString());  // the first item: no machine
  QTRY_VERIFY(!runTime->isVisible());
  QTRY_COMPARE(form_->size(), ownSize);
}

// The README's picture of the window with its preview: QUORREL_SCREENSHOT=FILE.png.
void MachineWindowTest::picturesTheWindowForTheReadme() {
  const QString file = qEnvironmentVariable("QUORREL_SCREENSHOT");
  if (file.isEmpty()) QSKIP("QUORREL_SCREENSHOT names no picture to take");
  start(ConfigurationFolder::kTwoMachines);
  choose(QStringLiteral("Router"));
  control<QRadioButton>("Option1_2")->click();
  control<QCheckBox>("Check1")->click();
  const std::pair<const char*, const char*> job[] = {
      {"Text2", "60"}, {"Text3", "40"}, {"Text4", "6"}, {"Text5", "3"}, {"Text6", "-6"}};
  for (const auto& [field, text] : job) control<QLineEdit>(field)->setText(text);
  openPreview();
  preview()->resize(560, 400);
  QTRY_COMPARE_WITH_TIMEOUT(preview()->view().size, QSize(560, 400), 5000);
  QTest::qWait(500);
  const QImage window = form_->grab().toImage();
  const QImage drawing = preview()->grab().toImage();
  QImage both(window.width() + 12 + drawing.width(), std::max(window.height(), drawing.height()),
              QImage::Format_RGB32);
  both.fill(QColor(0xdd, 0xdd, 0xdd));
  QPainter painter(&both);
  // Pixel for pixel, at any scale of the screen.
  painter.drawImage(QRect(0, 0, window.width(), window.height()), window);
  painter.drawImage(QRect(window.width() + 12, 0, drawing.width(), drawing.height()), drawing);
  painter.end();
  QVERIFY(both.save(file));
}

QTEST_MAIN(MachineWindowTest)
#include "machine_window_test.moc"
