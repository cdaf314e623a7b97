#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <optional>

#include "app/commondialog.h"
#include "app/quorrelform.h"
#include "app/shapepictogram.h"
#include "app/startup.h"
#include "app/wrappingradiobutton.h"
#include "tests/app/scripted_person.h"
#include "tests/support/configuration_folder.h"
#include "tests/support/golden_cases.h"
#include "tests/support/run_process.h"

using quorrel::app::FormDialogs;
using quorrel::app::QuorrelForm;
using quorrel::testing::AnswerWhenShown;
using quorrel::testing::ScriptedPerson;

class QuorrelFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void opensWithTheDesignState();
  void placesEveryControl_data();
  void placesEveryControl();
  void paintsFieldsCheckBoxAndCrossInTheirColours();
  void hasTheFileMenu();
  void selectingAShapeShowsItsPictogramAndRadius_data();
  void selectingAShapeShowsItsPictogramAndRadius();
  void reselectingTheSelectedShapeChangesNothing();
  void hiddenRadiusKeepsItsTextAndIsSaved();
  void tabVisitsTheFieldsInDesignOrder_data();
  void tabVisitsTheFieldsInDesignOrder();
  void longOptionCaptionWrapsButStaysOneButton();
  void savesWhatTheCommandLineToolWrites_data();
  void savesWhatTheCommandLineToolWrites();
  void cancelLeavesAnExistingFileUntouched();
  void eachFailureShowsOneMessage_data();
  void eachFailureShowsOneMessage();
  void exitAsksAndNoKeepsEverything();
  void exitAnsweredYesCloses();
  void closeButtonClosesWithoutAsking();
  void startsCenteredOnTheScreen();
  void exitQuestionDefaultsToYes();
  void saveDialogProposesTheFileAndAddsNothing();

 private:
  template <class T>
  T* control(const char* name) {
    T* found = form_->findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no control %s", name);
    return found;
  }
  QAction* menuAction(const char* name) { return control<QAction>(name); }
  // The real boxes, as the form itself would show them.
  FormDialogs systemDialogs() {
    return quorrel::app::SystemDialogs(form_, control<quorrel::app::CommonDialog>("CommonDialog1"));
  }

  std::optional<quorrel::testing::ConfigurationFolder> configuration_;
  QuorrelForm* form_ = nullptr;
  ScriptedPerson person_;
  QTemporaryDir folder_;
};

void QuorrelFormTest::init() {
  configuration_.emplace();  // no machines: the window's own program
  person_ = ScriptedPerson();
  form_ = new QuorrelForm;
  form_->setDialogs(person_.dialogs());
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
    // The headless platform cannot pass the fixed size on to a window manager, and says so.
    QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
  }
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void QuorrelFormTest::cleanup() {
  delete form_;
  form_ = nullptr;
  configuration_.reset();
}

void QuorrelFormTest::opensWithTheDesignState() {
  QCOMPARE(form_->windowTitle().left(10), QStringLiteral("Quorrel's "));
  QVERIFY(form_->windowTitle().endsWith(QLatin1Char(')')));
  QCOMPARE(form_->windowTitle().at(10), QLatin1Char('('));
  QVERIFY(!form_->windowIcon().isNull());
  QCOMPARE(form_->windowIcon().actualSize(QSize(256, 256)), QSize(256, 256));
  QVERIFY(control<QRadioButton>("Option1_0")->isChecked());
  QCOMPARE(form_->focusWidget(), control<QRadioButton>("Option1_0"));
  QVERIFY(control<QWidget>("Shape1")->isVisible());
  QVERIFY(!control<QWidget>("Shape2")->isVisible());
  QVERIFY(!control<QWidget>("Shape3")->isVisible());
  QVERIFY(!control<QLabel>("Label4")->isVisible());
  QVERIFY(!control<QLineEdit>("Text4")->isVisible());
  QVERIFY(control<QWidget>("Line1")->isVisible());
  QVERIFY(control<QWidget>("Line2")->isVisible());
  QCOMPARE(control<QLabel>("Label7")->text(), QStringLiteral("Zero"));
  QVERIFY(!control<QCheckBox>("Check1")->isChecked());
  QCOMPARE(control<QCheckBox>("Check1")->text(), QStringLiteral("Fill"));
  const char* fields[] = {"Text1_0", "Text1_1", "Text2", "Text3", "Text4", "Text5", "Text6"};
  const char* texts[] = {"0", "0", "10", "10", "2", "1", "-2"};
  for (int i = 0; i < 7; ++i)
    QCOMPARE(control<QLineEdit>(fields[i])->text(), QLatin1String(texts[i]));
  QCOMPARE(form_->centralWidget()->size(), QSize(300, 391));
}

void QuorrelFormTest::placesEveryControl_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QRect>("pixels");
  const struct {
    const char* name;
    const char* caption;
    QRect pixels;
  } rows[] = {
      {"Option1_0", "G87 Rectangle", {55, 16, 97, 25}},
      {"Option1_1", "G89 Circle", {55, 48, 97, 17}},
      {"Option1_2", "G87 Rounded            Rectangle", {55, 72, 97, 25}},
      {"Shape1", "", {152, 16, 97, 97}},
      {"Shape2", "", {152, 10, 97, 109}},
      {"Shape3", "", {152, 16, 97, 97}},
      {"Label7", "Zero", {176, 64, 25, 17}},
      {"Label1_0", "Position Center X", {64, 152, 89, 17}},
      {"Text1_0", "0", {160, 150, 73, 19}},
      {"Label1_1", "Position Center Y", {64, 176, 89, 17}},
      {"Text1_1", "0", {160, 176, 73, 19}},
      {"Label2", "Width", {64, 202, 97, 17}},
      {"Text2", "10", {160, 200, 73, 19}},
      {"Label3", "Height", {64, 226, 97, 17}},
      {"Text3", "10", {160, 224, 73, 19}},
      {"Label4", "Radius", {64, 250, 97, 17}},
      {"Text4", "2", {160, 248, 73, 19}},
      {"Label5", "Tool Radius", {64, 274, 97, 17}},
      {"Text5", "1", {160, 272, 73, 19}},
      {"Label6", "Depth", {64, 298, 97, 17}},
      {"Text6", "-2", {160, 296, 73, 19}},
      {"Check1", "Fill", {64, 328, 169, 17}},
      {"Line1", "", {200, 48, 1, 33}},
      {"Line2", "", {184, 64, 33, 1}},
  };
  for (const auto& row : rows) {
    QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromLatin1(row.caption)
                            << row.pixels;
  }
}

void QuorrelFormTest::placesEveryControl() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QFETCH(QRect, pixels);
  auto* widget = form_->findChild<QWidget*>(name);
  QVERIFY(widget);
  QCOMPARE(widget->parentWidget(), form_->centralWidget());
  QCOMPARE(widget->geometry(), pixels);
  if (auto* label = qobject_cast<QLabel*>(widget)) QCOMPARE(label->text(), caption);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) QCOMPARE(button->text(), caption);
  if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    QCOMPARE(field->text(), caption);
    QVERIFY(field->maxLength() >= 1 << 30);  // no length limit worth the name
  }
}

void QuorrelFormTest::paintsFieldsCheckBoxAndCrossInTheirColours() {
  for (const char* name : {"Text1_0", "Text1_1", "Text2", "Text3", "Text4", "Text5", "Text6"}) {
    const QPalette palette = control<QLineEdit>(name)->palette();
    QCOMPARE(palette.color(QPalette::Base), QColor(255, 255, 128));
    QCOMPARE(palette.color(QPalette::Text), QColor(64, 0, 0));
  }
  QCOMPARE(control<QCheckBox>("Check1")->palette().color(QPalette::WindowText), QColor(64, 0, 0));
  QCOMPARE(control<QCheckBox>("Check1")->palette().color(QPalette::Window),
           QApplication::palette("QMenu").color(QPalette::Window));
  QCOMPARE(control<QLabel>("Label7")->palette().color(QPalette::WindowText), QColor(255, 0, 0));

  // The cross is red where it is drawn.
  const QImage image = form_->centralWidget()->grab().toImage();
  QCOMPARE(QColor(image.pixel(200, 50)), QColor(255, 0, 0));
  QCOMPARE(QColor(image.pixel(186, 64)), QColor(255, 0, 0));
}

void QuorrelFormTest::hasTheFileMenu() {
  const QList<QAction*> menus = form_->menuBar()->actions();
  QCOMPARE(menus.size(), 4);  // File, then Machine, Operation and View
  QCOMPARE(menus[0]->text(), QStringLiteral("File"));
  // Without a machine, the window's own program cuts its shapes alone.
  QCOMPARE(menus[2]->text(), QStringLiteral("&Operation"));
  QCOMPARE(menus[2]->menu()->actions().size(), 1);
  QCOMPARE(menus[2]->menu()->actions()[0]->text(), QStringLiteral("&Shape"));
  QVERIFY(menus[2]->menu()->actions()[0]->isChecked());
  const QList<QAction*> entries = menus[0]->menu()->actions();
  // The window's own three entries first, in their order; the job's after them.
  QCOMPARE(entries.size(), 7);
  QVERIFY(entries[3]->isSeparator());
  QCOMPARE(entries[4]->text(), QStringLiteral("Open Job…"));
  QCOMPARE(entries[5]->text(), QStringLiteral("Save Job…"));
  QCOMPARE(entries[6]->text(), QStringLiteral("Recent Jobs"));
  QCOMPARE(entries[0]->text(), QStringLiteral("Save G-Code"));
  QCOMPARE(entries[0]->objectName(), QStringLiteral("menu_file_save"));
  QVERIFY(entries[1]->isSeparator());
  QCOMPARE(entries[1]->objectName(), QStringLiteral("menu_str"));
  QCOMPARE(entries[2]->text(), QStringLiteral("Exit Quorrel's"));
  QCOMPARE(entries[2]->objectName(), QStringLiteral("menu_file_exit"));
  for (QAction* action : entries.mid(0, 3)) QVERIFY(action->shortcut().isEmpty());
  for (QAction* action : QList<QAction*>{menus[0], entries[0], entries[2]}) {
    QVERIFY(!action->text().contains(QLatin1Char('&')));  // no access keys
  }
}

void QuorrelFormTest::selectingAShapeShowsItsPictogramAndRadius_data() {
  QTest::addColumn<QString>("option");
  QTest::addColumn<QString>("shown");
  QTest::addColumn<bool>("radius");
  QTest::newRow("circle") << "Option1_1"
                          << "Shape2" << true;
  QTest::newRow("rounded rectangle") << "Option1_2"
                                     << "Shape3" << true;
  QTest::newRow("back to rectangle") << "Option1_0"
                                     << "Shape1" << false;
}

void QuorrelFormTest::selectingAShapeShowsItsPictogramAndRadius() {
  QFETCH(QString, option);
  QFETCH(QString, shown);
  QFETCH(bool, radius);
  control<QRadioButton>("Option1_2")->click();  // start away from the row's choice
  control<QCheckBox>("Check1")->click();
  auto* button = form_->findChild<QRadioButton*>(option);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
  QVERIFY(button->isChecked());
  for (const char* shape : {"Shape1", "Shape2", "Shape3"}) {
    QCOMPARE(control<QWidget>(shape)->isVisible(), shown == QLatin1String(shape));
    QCOMPARE(control<QWidget>(shape)->size(),
             QSize(97, shape == QLatin1String("Shape2") ? 109 : 97));
  }
  QCOMPARE(control<QLabel>("Label4")->isVisible(), radius);
  QCOMPARE(control<QLineEdit>("Text4")->isVisible(), radius);
  QCOMPARE(control<QLineEdit>("Text4")->text(), QStringLiteral("2"));
  QVERIFY(control<QCheckBox>("Check1")->isChecked());  // the tick stays
  QVERIFY(control<QWidget>("Text2")->isVisible());
  QVERIFY(control<QWidget>("Text3")->isVisible());
}

void QuorrelFormTest::reselectingTheSelectedShapeChangesNothing() {
  control<QRadioButton>("Option1_1")->click();
  control<QLineEdit>("Text4")->setText(QStringLiteral("7.5"));
  control<QRadioButton>("Option1_1")->click();
  QVERIFY(control<QRadioButton>("Option1_1")->isChecked());
  QVERIFY(control<QWidget>("Shape2")->isVisible());
  QVERIFY(control<QLineEdit>("Text4")->isVisible());
  QCOMPARE(control<QLineEdit>("Text4")->text(), QStringLiteral("7.5"));
  form_->Option1_Click(3);  // no such option: nothing changes
  QVERIFY(control<QWidget>("Shape2")->isVisible());
}

void QuorrelFormTest::hiddenRadiusKeepsItsTextAndIsSaved() {
  control<QRadioButton>("Option1_1")->click();
  control<QLineEdit>("Text4")->setText(QStringLiteral("3.5"));
  control<QRadioButton>("Option1_0")->click();
  QVERIFY(!control<QLineEdit>("Text4")->isVisible());
  QCOMPARE(form_->currentRequest().texts.RadiusText, std::string("3.5"));
  control<QRadioButton>("Option1_2")->click();
  QCOMPARE(control<QLineEdit>("Text4")->text(), QStringLiteral("3.5"));
}

void QuorrelFormTest::tabVisitsTheFieldsInDesignOrder_data() {
  QTest::addColumn<QString>("option");
  QTest::addColumn<QStringList>("order");
  QTest::newRow("without Radius") << "Option1_0"
                                  << QStringList{"Text1_0", "Text2",   "Text3", "Check1",
                                                 "Text5",   "Text1_1", "Text6", "Option1_0"};
  QTest::newRow("with Radius") << "Option1_1"
                               << QStringList{"Text1_0", "Text2",   "Text3", "Text4",    "Check1",
                                              "Text5",   "Text1_1", "Text6", "Option1_1"};
}

void QuorrelFormTest::tabVisitsTheFieldsInDesignOrder() {
  QFETCH(QString, option);
  QFETCH(QStringList, order);
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  auto* start = form_->findChild<QRadioButton*>(option);
  start->click();
  start->setFocus();
  for (const QString& expected : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), expected);
  }
  // And back again with Shift+Tab.
  for (qsizetype i = order.size() - 2; i >= 0; --i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
  }
}

void QuorrelFormTest::longOptionCaptionWrapsButStaysOneButton() {
  auto* rounded = control<quorrel::app::WrappingRadioButton>("Option1_2");
  QCOMPARE(rounded->text().size(), 32);
  QCOMPARE(rounded->wrappedLines(), (QStringList{"G87 Rounded", "Rectangle"}));
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(rounded);
  QVERIFY(accessible);
  QCOMPARE(accessible->text(QAccessible::Name), rounded->text());
  QCOMPARE(accessible->role(), QAccessible::RadioButton);

  // A click on the second line selects it, as a click anywhere on an option button does.
  QTest::mouseClick(rounded, Qt::LeftButton, {}, QPoint(40, rounded->height() - 4));
  QVERIFY(rounded->isChecked());
  QVERIFY(control<QWidget>("Shape3")->isVisible());

  // The arrow keys move through the group, the long caption included.
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  control<QRadioButton>("Option1_0")->click();
  control<QRadioButton>("Option1_0")->setFocus();
  QTest::keyClick(control<QRadioButton>("Option1_0"), Qt::Key_Down);
  QVERIFY(control<QRadioButton>("Option1_1")->isChecked());
  QTest::keyClick(control<QRadioButton>("Option1_1"), Qt::Key_Down);
  QVERIFY(rounded->isChecked());
  QCOMPARE(QApplication::focusWidget(), rounded);
  QVERIFY(control<QWidget>("Shape3")->isVisible());
}

void QuorrelFormTest::savesWhatTheCommandLineToolWrites_data() {
  QTest::addColumn<QString>("option");
  QTest::addColumn<bool>("fill");
  QTest::addColumn<QStringList>("arguments");
  QTest::newRow("rectangle") << "Option1_0" << false << QStringList{"--shape=rectangle"};
  QTest::newRow("rectangle fill") << "Option1_0" << true
                                  << QStringList{"--shape=rectangle", "--fill"};
  QTest::newRow("circle") << "Option1_1" << false << QStringList{"--shape=circle"};
  QTest::newRow("circle fill") << "Option1_1" << true << QStringList{"--shape=circle", "--fill"};
  QTest::newRow("rounded") << "Option1_2" << false << QStringList{"--shape=rounded-rectangle"};
  QTest::newRow("rounded fill") << "Option1_2" << true
                                << QStringList{"--shape=rounded-rectangle", "--fill"};
}

void QuorrelFormTest::savesWhatTheCommandLineToolWrites() {
  QFETCH(QString, option);
  QFETCH(bool, fill);
  QFETCH(QStringList, arguments);
  const struct {
    const char* control;
    const char* option;
    const char* text;
  } fields[] = {
      {"Text1_0", "--center-x=", "12.5"}, {"Text1_1", "--center-y=", "-3.25"},
      {"Text2", "--width=", " 7.3mm"},    {"Text3", "--height=", "4.1 )x"},
      {"Text4", "--radius=", "1.2"},      {"Text5", "--tool-radius=", "0.8"},
      {"Text6", "--depth=", "-1.25"},
  };
  std::vector<std::string> toolArguments;
  for (const QString& argument : arguments) toolArguments.push_back(argument.toStdString());
  for (const auto& field : fields) {
    control<QLineEdit>(field.control)->setText(QString::fromUtf8(field.text));
    toolArguments.push_back(std::string(field.option) + field.text);
  }
  control<QRadioButton>(option.toLatin1().constData())->click();
  if (fill) control<QCheckBox>("Check1")->click();

  person_.savePath = folder_.filePath(QStringLiteral("part"));
  menuAction("menu_file_save")->trigger();

  QCOMPARE(person_.saveDialogs, 1);
  QCOMPARE(person_.shownFilter, QStringLiteral("Din ( G-Code ) (*.din)"));
  QCOMPARE(person_.shownName, QStringLiteral("File1.din"));
  QCOMPARE(person_.messages, QStringList());
  const quorrel::testing::ProcessResult tool = quorrel::testing::RunProcess(
      quorrel::testing::GcodeToolPath(), toolArguments, {{"LC_ALL", "C"}});
  QCOMPARE(tool.exitStatus, 0);
  // The window writes the rounded corners' radius in the title with the system's decimal
  // separator, whatever locale the tests run in; the tool here runs in "C".
  std::string expected = tool.standardOutput;
  const std::size_t radius = expected.find("R=1.2 )");
  if (radius != std::string::npos) {
    expected.replace(radius + 3, 1, QLocale::system().decimalPoint().toStdString());
  }
  QCOMPARE(quorrel::testing::ReadFileBytes(person_.savePath.toStdString()), expected);
}

void QuorrelFormTest::cancelLeavesAnExistingFileUntouched() {
  const QString existing = folder_.filePath(QStringLiteral("File1.din"));
  QFile file(existing);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("keep me");
  file.close();
  person_.savePath.clear();
  menuAction("menu_file_save")->trigger();
  QCOMPARE(person_.saveDialogs, 1);
  QCOMPARE(person_.messages, QStringList());
  QCOMPARE(quorrel::testing::ReadFileBytes(existing.toStdString()), std::string("keep me"));
}

void QuorrelFormTest::eachFailureShowsOneMessage_data() {
  QTest::addColumn<QString>("toolRadius");
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("words");
  QTest::addColumn<int>("dialogs");
  QTest::newRow("missing folder") << "1"
                                  << "missing/File1.din"
                                  << "cannot be written" << 1;
  // What the writing would find is found before the dialog, as every other refusal is.
  QTest::newRow("tool radius 0 with Fill") << "0"
                                           << "File1.din"
                                           << "Division by zero" << 0;
  QTest::newRow("negative tool with Fill") << "-1"
                                           << "File1.din"
                                           << "Tool Radius" << 0;
  QTest::newRow("tool beyond 32 bits") << "1e39"
                                       << "File1.din"
                                       << "Tool Radius" << 0;
}

void QuorrelFormTest::eachFailureShowsOneMessage() {
  QFETCH(QString, toolRadius);
  QFETCH(QString, path);
  QFETCH(QString, words);
  QFETCH(int, dialogs);
  control<QLineEdit>("Text5")->setText(toolRadius);
  control<QCheckBox>("Check1")->click();
  person_.savePath = folder_.filePath(path);
  QFile existing(person_.savePath);
  if (existing.open(QIODevice::WriteOnly)) existing.write("a good program");
  existing.close();
  menuAction("menu_file_save")->trigger();
  QCOMPARE(person_.saveDialogs, dialogs);
  QCOMPARE(person_.messages.size(), 1);
  QVERIFY2(person_.messages[0].startsWith(QLatin1String("quorrel: ")),
           qPrintable(person_.messages[0]));
  QVERIFY2(person_.messages[0].contains(words), qPrintable(person_.messages[0]));
  if (dialogs == 1) QVERIFY(person_.messages[0].contains(person_.savePath));
  // A save that fails leaves the file it was aimed at as it was.
  if (existing.exists()) {
    QCOMPARE(quorrel::testing::ReadFileBytes(person_.savePath.toStdString()),
             std::string("a good program"));
    QVERIFY(person_.messages[0].contains(QLatin1String("Nothing was written")));
  }
}

void QuorrelFormTest::exitAsksAndNoKeepsEverything() {
  control<QRadioButton>("Option1_1")->click();
  control<QCheckBox>("Check1")->click();
  control<QLineEdit>("Text2")->setText(QStringLiteral("25"));
  person_.answerYes = false;
  menuAction("menu_file_exit")->trigger();
  QCOMPARE(person_.questions, QStringList{"quorrel: Do you want to quit Quorrel?"});
  QVERIFY(form_->isVisible());
  QVERIFY(control<QRadioButton>("Option1_1")->isChecked());
  QVERIFY(control<QCheckBox>("Check1")->isChecked());
  QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("25"));
}

void QuorrelFormTest::exitAnsweredYesCloses() {
  person_.answerYes = true;
  menuAction("menu_file_exit")->trigger();
  QCOMPARE(person_.questions.size(), 1);
  QVERIFY(!form_->isVisible());
}

void QuorrelFormTest::closeButtonClosesWithoutAsking() {
  QVERIFY(form_->close());
  QVERIFY(!form_->isVisible());
  QVERIFY(person_.questions.isEmpty());
}

void QuorrelFormTest::startsCenteredOnTheScreen() {
  QuorrelForm form;
  quorrel::app::ShowCenteredOnScreen(form);
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  const QPoint screenCenter = form.screen()->availableGeometry().center();
  QVERIFY2((form.geometry().center() - screenCenter).manhattanLength() <= 2,
           qPrintable(QStringLiteral("window centre %1,%2")
                          .arg(form.geometry().center().x())
                          .arg(form.geometry().center().y())));
}

void QuorrelFormTest::exitQuestionDefaultsToYes() {
  const FormDialogs system = systemDialogs();
  AnswerWhenShown<QMessageBox>([](QMessageBox* box) {
    QCOMPARE(box->windowTitle(), QStringLiteral("quorrel"));
    QCOMPARE(box->text(), QStringLiteral("Do you want to quit Quorrel?"));
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
    QTest::keyClick(box, Qt::Key_Return);
  });
  QVERIFY(
      system.askYesNo(QStringLiteral("Do you want to quit Quorrel?"), QStringLiteral("quorrel")));
}

void QuorrelFormTest::saveDialogProposesTheFileAndAddsNothing() {
  const FormDialogs system = systemDialogs();
  const QString folder = folder_.path();
  QFile existing(folder + QStringLiteral("/part"));
  QVERIFY(existing.open(QIODevice::WriteOnly));
  existing.close();
  AnswerWhenShown<QFileDialog>([folder](QFileDialog* dialog) {
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog->nameFilters(), QStringList{"Din ( G-Code ) (*.din)"});
    QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(dialog->defaultSuffix(), QString());
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    QCOMPARE(name->text(), QStringLiteral("File1.din"));
    dialog->setDirectory(folder);
    name->setText(QStringLiteral("part"));  // an existing file, typed without an extension
    QTest::keyClick(name, Qt::Key_Return);
  });
  const QString chosen =
      system.showSaveDialog(QStringLiteral("Din ( G-Code ) (*.din)"), QStringLiteral("File1.din"));
  QCOMPARE(chosen, folder + QStringLiteral("/part"));
}

QTEST_MAIN(QuorrelFormTest)
#include "quorrelform_test.moc"
