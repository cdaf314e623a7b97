#include "app/quorrelform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <limits>
#include <vector>

#include "app/commondialog.h"
#include "app/formfields.h"
#include "app/jobpanel.h"
#include "app/machinemenu.h"
#include "app/machinesdialog.h"
#include "app/operationmenu.h"
#include "app/operationpanel.h"
#include "app/runtimestatus.h"
#include "app/shapepictogram.h"
#include "app/toolpathpreview.h"
#include "app/twips.h"
#include "app/utf8.h"
#include "app/wrappingradiobutton.h"
#include "gcode/job/dialect_profile.h"
#include "gcode/job/field_table.h"
#include "gcode/jobs/job_program.h"
#include "gcode/output/output_error.h"
#include "gcode/output/program_destination.h"
#include "gcode/shapes/operation.h"

namespace quorrel::app {
namespace {

const QColor kRed(255, 0, 0);

// A straight line of the preview: one pixel wide, drawn by its own background.
QWidget* AddLine(QWidget* client, const char* name, QRect geometry) {
  auto* line = new QWidget(client);
  line->setObjectName(QLatin1String(name));
  line->setGeometry(geometry);
  line->setAutoFillBackground(true);
  SetColours(line, QPalette::Window, kRed, QPalette::WindowText, kRed);
  line->setAttribute(Qt::WA_TransparentForMouseEvents);
  return line;
}

std::string Local8Bit(const QString& text) {
  return text.toLocal8Bit().toStdString();
}

const QString kTitle = QStringLiteral("Quorrel's (by the Quorrel developers)");
const QString kJobFilter = QStringLiteral("Quorrel job (*.toml);;All files (*)");

// What the machinist is told of a machine's setting that the job does not use.
QString UnusedSettingNote(const Machine& machine, Setting setting) {
  const QString name = FromUtf8(machine.name);
  const QString value = FromUtf8(SettingText(machine, setting));
  if (setting == Setting::Stepover) {
    return QStringLiteral(
               "The machine \"%1\" spaces the rings of a Fill at %2 %; this outline "
               "has none, so its stepover is not used.")
        .arg(name, value);
  }
  return QStringLiteral(
             "The machine \"%1\" holds an outline's part with %2 tabs; a Fill pocket "
             "has no part to hold, so it is cut without them.")
      .arg(name, value);
}

// What the save dialog offers for a program: its file types, and the name it proposes.
struct ProgramFile {
  QString filter;
  QString name;
};

ProgramFile ProgramFileFor(Dialect dialect) {
  const DialectProfile& profile = ProfileOf(dialect);
  return {FromUtf8(profile.saveFilter), FromUtf8(profile.proposedFile)};
}

}  // namespace

QuorrelForm::QuorrelForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("QuorrelForm"));
  setWindowTitle(kTitle);
  setWindowIcon(
      QIcon::fromTheme(QStringLiteral("quorrel"), QIcon(QStringLiteral(":/icons/quorrel.png"))));
  commonDialog1_ = new CommonDialog(this);
  commonDialog1_->setObjectName(QStringLiteral("CommonDialog1"));
  dialogs_ = SystemDialogs(this, commonDialog1_);

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(Twips(4500), Twips(5865));
  setCentralWidget(client);
  createMenus();
  createControls(client);
  createPreview(client);
  runTime_ = new RunTimeStatus;
  statusBar()->setSizeGripEnabled(false);
  statusBar()->addWidget(runTime_, 1);
  setTabOrder();
  fitFontToDesign();
  watchTheJob();
  machineChanged();
  // The client area keeps its size below the menu bar; the window cannot be resized.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  option1Buttons_[0]->setFocus();
}

void QuorrelForm::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
  file->setObjectName(QStringLiteral("menu_file"));
  QAction* save = file->addAction(QStringLiteral("Save G-Code"));
  save->setObjectName(QStringLiteral("menu_file_save"));
  QAction* separator = file->addSeparator();
  separator->setObjectName(QStringLiteral("menu_str"));
  QAction* exit = file->addAction(QStringLiteral("Exit Quorrel's"));
  exit->setObjectName(QStringLiteral("menu_file_exit"));
  connect(save, &QAction::triggered, this, &QuorrelForm::menu_file_save_Click);
  connect(exit, &QAction::triggered, this, &QuorrelForm::menu_file_exit_Click);
  // The job's entries come after the window's own, which keep their places.
  file->addSeparator();
  QAction* open = file->addAction(QStringLiteral("Open Job…"));
  open->setObjectName(QStringLiteral("menu_file_open_job"));
  connect(open, &QAction::triggered, this, [this] { openJob(); });
  QAction* saveJob = file->addAction(QStringLiteral("Save Job…"));
  saveJob->setObjectName(QStringLiteral("menu_file_save_job"));
  connect(saveJob, &QAction::triggered, this, &QuorrelForm::saveJob);
  QMenu* recent = file->addMenu(QStringLiteral("Recent Jobs"));
  recent->setObjectName(QStringLiteral("menu_file_recent_jobs"));
  connect(recent, &QMenu::aboutToShow, this, [this, recent] {
    recent->clear();
    for (const std::string& path : memory_.recentJobs()) {
      QAction* item = recent->addAction(QFile::decodeName(path.c_str()));
      connect(item, &QAction::triggered, this, [this, path] { openJob(path); });
    }
    if (recent->isEmpty()) recent->addAction(QStringLiteral("(none yet)"))->setEnabled(false);
  });

  machineMenu_ = new MachineMenu(memory_, this);
  menuBar()->addMenu(machineMenu_);
  connect(machineMenu_, &MachineMenu::choiceChanged, this, &QuorrelForm::machineChanged);
  connect(machineMenu_, &MachineMenu::machinesRequested, this, &QuorrelForm::editMachines);
  operationMenu_ = new OperationMenu(machineMenu_, this);
  menuBar()->addMenu(operationMenu_);
  // Told once the window is up, through the boxes the window asks with.
  QTimer::singleShot(0, this, &QuorrelForm::reportMachinesFileFault);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("menu_view"));
  previewAction_ = view->addAction(QStringLiteral("Toolpath &Preview"));
  previewAction_->setObjectName(QStringLiteral("menu_view_preview"));
  previewAction_->setShortcut(QKeySequence(Qt::Key_F5));
  previewAction_->setCheckable(true);
  connect(previewAction_, &QAction::toggled, this, &QuorrelForm::showPreview);
  jobAction_ = view->addAction(QStringLiteral("&Job"));
  jobAction_->setObjectName(QStringLiteral("menu_view_job"));
  jobAction_->setShortcut(QKeySequence(Qt::Key_F6));
  jobAction_->setCheckable(true);
  connect(jobAction_, &QAction::toggled, this, [this](bool shown) {
    if (shown) {
      jobPanel_->move(frameGeometry().bottomLeft() + QPoint(0, 8));
      jobPanel_->show();
    } else {
      jobPanel_->hide();
    }
  });
}

void QuorrelForm::watchTheJob() {
  jobPanel_ = new JobPanel(this);
  jobPanel_->hide();
  connect(jobPanel_, &JobPanel::addRequested, this, [this] {
    if (auto row = currentRow()) jobPanel_->addRow(*row);
  });
  connect(jobPanel_, &JobPanel::replaceRequested, this, [this] {
    if (auto row = currentRow()) jobPanel_->replaceChosen(*row);
  });
  connect(jobPanel_, &JobPanel::rowChosen, this, &QuorrelForm::showRow);
  const auto changed = [this] {
    // The job is read from the form and the Job panel once, for both that show it.
    const bool previewed = preview_ != nullptr && preview_->isVisible();
    const bool timed = machineMenu_->chosen() != nullptr;
    if (!previewed && !timed) return;
    const PreviewSubject subject = currentSubject();
    if (previewed) preview_->setSubject(subject);
    if (timed) runTime_->setSubject(subject);
  };
  for (QLineEdit* text : fields_) connect(text, &QLineEdit::textChanged, this, changed);
  connect(option1_, &QButtonGroup::idToggled, this, changed);
  connect(check1_, &QCheckBox::toggled, this, changed);
  connect(operationPanel_, &OperationPanel::changed, this, changed);
  connect(jobPanel_, &JobPanel::changed, this, changed);
  connect(machineMenu_, &MachineMenu::choiceChanged, this, changed);
}

void QuorrelForm::machineChanged() {
  const Machine* machine = machineMenu_->chosen();
  setWindowTitle(machine == nullptr ? kTitle
                                    : kTitle + QStringLiteral(" — ") + MachineLabel(*machine));
  // The window's own program has no feeds to time: without a machine the form is as it was.
  statusBar()->setVisible(machine != nullptr);
  showOperation();
  if (machine != nullptr) runTime_->setSubject(currentSubject());
}

void QuorrelForm::showOperation() {
  const Operation* operation = OperationNamed(machineMenu_->operation());
  const bool shapes = operation == nullptr;
  const bool wasShapes = operationPanel_->isHidden();
  operationPanel_->setVisible(!shapes);
  for (QRadioButton* button : option1Buttons_) button->setVisible(shapes);
  for (QWidget* mark : zeroMark_) mark->setVisible(shapes);
  check1_->setVisible(shapes);
  if (shapes) {
    // The form exactly as the shape chosen draws it.
    for (const FieldDescription& description : kFields) {
      field(description.field)->setVisible(true);
      caption(description.field)->setVisible(true);
    }
    Option1_Click(static_cast<short>(option1_->checkedId()));
    if (!wasShapes && isActiveWindow()) option1_->checkedButton()->setFocus();
    return;
  }
  for (ShapePictogram* pictogram : shapes_) pictogram->hide();
  operationPanel_->showOperation(operation->kind);
  for (const FieldDescription& description : kFields) {
    const bool used = operation->UsesField(description.field);
    field(description.field)->setVisible(used);
    caption(description.field)->setVisible(used);
  }
  // The keyboard starts at the operation's first field, as it starts at the shapes.
  if (wasShapes && isActiveWindow()) {
    for (QLineEdit* first : operationPanel_->fields()) {
      if (!first->isHidden()) return first->setFocus();
    }
    field(Field::CenterX)->setFocus();
  }
}

namespace {

// Every mistake of the machines file, one to a line, each with the machine it takes away.
QString FaultList(const MachinesFile& file) {
  QString list;
  if (file.fault) list = QStringLiteral("\n• ") + FromUtf8(file.fault->message);
  for (const MachinesFileFault& fault : file.machineFaults) {
    list += QStringLiteral("\n• ") +
            (fault.machine.empty()
                 ? QString()
                 : QStringLiteral("\"") + FromUtf8(fault.machine) + QStringLiteral("\": ")) +
            FromUtf8(fault.message);
  }
  return list;
}

}  // namespace

void QuorrelForm::reportMachinesFileFault() {
  const MachinesFile& file = machineMenu_->machinesFile();
  if (file.fault) {
    dialogs_.showMessage(QStringLiteral("quorrel"),
                         QStringLiteral("Quorrel cannot use ") + FromUtf8(file.fault->message) +
                             QStringLiteral(". Until it is mended, the window writes its own "
                                            "programs (.din); Quorrel does not write over it."));
  } else if (!file.machineFaults.empty()) {
    dialogs_.showMessage(
        QStringLiteral("quorrel"),
        QStringLiteral("Quorrel cannot use these machines of the machines file:") +
            FaultList(file) +
            QStringLiteral("\nThe others are in the Machine menu. Until the file is mended, "
                           "Quorrel does not write over it."));
  }
}

void QuorrelForm::editMachines() {
  machineMenu_->reload();
  const MachinesFile& file = machineMenu_->machinesFile();
  if (file.HasFaults()) {
    // Written anew, the file would lose the machines it could not read.
    dialogs_.showMessage(QStringLiteral("quorrel"),
                         QStringLiteral("The machines cannot be changed here while the machines "
                                        "file has mistakes:") +
                             FaultList(file) +
                             QStringLiteral("\nQuorrel does not write over a file it cannot "
                                            "read whole; mend it in an editor."));
    return;
  }
  if (machineMenu_->machinesFilePath().empty()) {
    dialogs_.showMessage(QStringLiteral("quorrel"),
                         QStringLiteral("The machines cannot be saved: neither XDG_CONFIG_HOME "
                                        "nor HOME says where the configuration folder is."));
    return;
  }
  const std::optional<std::string> chosenName = machineMenu_->chosenName();
  MachinesDialog dialog(machineMenu_->machinesFilePath(), file, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::optional<std::string> chosenAfter =
      chosenName ? dialog.nameAfter(*chosenName) : std::nullopt;
  machineMenu_->reload(chosenAfter);
  if (chosenName && !chosenAfter) {
    dialogs_.showMessage(QStringLiteral("quorrel"),
                         QStringLiteral("The machine \"") + FromUtf8(*chosenName) +
                             QStringLiteral("\" was removed: Save G-Code now writes the "
                                            "window's own program (.din)."));
  }
}

void QuorrelForm::showPreview(bool shown) {
  if (!shown) {
    if (preview_ != nullptr) preview_->hide();
    return;
  }
  if (preview_ == nullptr) {
    preview_ = new ToolpathPreview(this);
    // The form keeps the keyboard: the drawing follows what is typed there.
    preview_->setAttribute(Qt::WA_ShowWithoutActivating);
    preview_->move(frameGeometry().topRight() + QPoint(8, 0));
    connect(preview_, &ToolpathPreview::hidden, this,
            [this] { previewAction_->setChecked(false); });
  }
  preview_->setSubject(currentSubject());
  preview_->show();
  activateWindow();
}

void QuorrelForm::createControls(QWidget* client) {
  option1_ = new QButtonGroup(this);
  option1_->setObjectName(QStringLiteral("Option1"));
  const struct {
    const char* name;
    const char* caption;
    QRect geometry;
  } options[] = {
      {"Option1_0", "G87 Rectangle", TwipsRect(825, 240, 1450, 375)},
      {"Option1_1", "G89 Circle", TwipsRect(825, 720, 1450, 255)},
      {"Option1_2", "G87 Rounded            Rectangle", TwipsRect(825, 1080, 1450, 375)},
  };
  for (int index = 0; index < 3; ++index) {
    QRadioButton* button =
        index == 2 ? new WrappingRadioButton(QLatin1String(options[index].caption), client)
                   : new QRadioButton(QLatin1String(options[index].caption), client);
    button->setObjectName(QLatin1String(options[index].name));
    button->setGeometry(options[index].geometry);
    option1_->addButton(button, index);
    option1Buttons_[static_cast<std::size_t>(index)] = button;
  }
  option1Buttons_[0]->setChecked(true);
  connect(option1_, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
    if (checked) Option1_Click(static_cast<short>(index));
  });

  // Where each field and its caption sit; what they say comes from the job's field table.
  const struct {
    Field field;
    const char* label;
    QRect labelGeometry;
    const char* text;
    QRect textGeometry;
  } fields[] = {
      {Field::CenterX, "Label1_0", TwipsRect(960, 2280, 1335, 255), "Text1_0",
       TwipsRect(2400, 2250, 1095, 285)},
      {Field::CenterY, "Label1_1", TwipsRect(960, 2640, 1335, 255), "Text1_1",
       TwipsRect(2400, 2640, 1095, 285)},
      {Field::Width, "Label2", TwipsRect(960, 3030, 1455, 255), "Text2",
       TwipsRect(2400, 3000, 1095, 285)},
      {Field::Height, "Label3", TwipsRect(960, 3390, 1455, 255), "Text3",
       TwipsRect(2400, 3360, 1095, 285)},
      {Field::Radius, "Label4", TwipsRect(960, 3750, 1455, 255), "Text4",
       TwipsRect(2400, 3720, 1095, 285)},
      {Field::ToolRadius, "Label5", TwipsRect(960, 4110, 1455, 255), "Text5",
       TwipsRect(2400, 4080, 1095, 285)},
      {Field::Depth, "Label6", TwipsRect(960, 4470, 1455, 255), "Text6",
       TwipsRect(2400, 4440, 1095, 285)},
  };
  for (const auto& place : fields) {
    const FieldDescription& description = DescriptionOf(place.field);
    QLabel* caption =
        AddCaption(client, place.label, FromUtf8(description.caption), place.labelGeometry);
    QLineEdit* text =
        AddField(client, place.text, FromUtf8(description.defaultText), place.textGeometry);
    fields_[static_cast<std::size_t>(place.field)] = text;
    captions_[static_cast<std::size_t>(place.field)] = caption;
    if (place.field == Field::Radius) label4_ = caption;
  }
  label4_->hide();
  field(Field::Radius)->hide();

  check1_ = new QCheckBox(QStringLiteral("Fill"), client);
  check1_->setObjectName(QStringLiteral("Check1"));
  check1_->setGeometry(TwipsRect(960, 4920, 2535, 255));
  check1_->setAutoFillBackground(true);
  SetColours(check1_, QPalette::Window, QApplication::palette("QMenu").color(QPalette::Window),
             QPalette::WindowText, kDarkRed);
}

void QuorrelForm::createPreview(QWidget* client) {
  const struct {
    const char* name;
    ShapePictogram::Outline outline;
    QRect geometry;
  } pictograms[] = {
      {"Shape1", ShapePictogram::Outline::Rectangle, TwipsRect(2280, 240, 1455, 1455)},
      {"Shape2", ShapePictogram::Outline::Circle, TwipsRect(2280, 150, 1455, 1635)},
      {"Shape3", ShapePictogram::Outline::RoundedRectangle, TwipsRect(2280, 240, 1455, 1455)},
  };
  for (std::size_t i = 0; i < shapes_.size(); ++i) {
    shapes_[i] = new ShapePictogram(pictograms[i].outline, client);
    shapes_[i]->setObjectName(QLatin1String(pictograms[i].name));
    shapes_[i]->setGeometry(pictograms[i].geometry);
    shapes_[i]->setVisible(i == 0);
  }

  // The red cross marks the shape's centre, the zero point of the program.
  zeroMark_[0] =
      AddLine(client, "Line1", QRect(Twips(3000), Twips(720), 1, Twips(1200) - Twips(720) + 1));
  zeroMark_[1] =
      AddLine(client, "Line2", QRect(Twips(2760), Twips(960), Twips(3240) - Twips(2760) + 1, 1));
  QLabel* zero =
      AddCaption(client, "Label7", QStringLiteral("Zero"), TwipsRect(2640, 960, 375, 255));
  SetColours(zero, QPalette::Window, QColor(), QPalette::WindowText, kRed);
  zero->setAttribute(Qt::WA_TransparentForMouseEvents);
  zeroMark_[2] = zero;

  // In the shape panel's place while an operation other than the shapes is chosen.
  operationPanel_ = new OperationPanel(client);
  operationPanel_->setGeometry(TwipsRect(825, 150, 2910, 1950));
  operationPanel_->hide();
}

void QuorrelForm::setTabOrder() {
  // Position Center Y follows Tool Radius, as machinists of this window are used to.
  const QWidget* order[] = {option1Buttons_[0],       field(Field::CenterX), field(Field::Width),
                            field(Field::Height),     field(Field::Radius),  check1_,
                            field(Field::ToolRadius), field(Field::CenterY), field(Field::Depth)};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
  }
  for (std::size_t i = 1; i < option1Buttons_.size(); ++i) {
    QWidget::setTabOrder(option1Buttons_[i - 1], option1Buttons_[i]);
  }
  // An operation's pattern fields stand where the shapes stand, before the fields below.
  QWidget* before = option1Buttons_.back();
  for (QLineEdit* pattern : operationPanel_->fields()) {
    QWidget::setTabOrder(before, pattern);
    before = pattern;
  }
}

void QuorrelForm::fitFontToDesign() {
  // The layout is fixed in twips and was drawn for a small dialog font. Where the platform's
  // ordinary font is wider, the whole window takes it a little smaller, so that every caption
  // stays whole ("Position Center X" must not lose its letter).
  const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                        style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
  struct Caption {
    QString text;
    int room;
  };
  std::vector<Caption> captions;
  for (const QLabel* label : centralWidget()->findChildren<QLabel*>()) {
    captions.push_back({label->text(), label->width()});
  }
  for (const QAbstractButton* button : centralWidget()->findChildren<QAbstractButton*>()) {
    for (const QString& word : button->text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      captions.push_back({word, button->width() - indicator});
    }
  }
  captions.push_back({QStringLiteral("G87 Rectangle"), option1Buttons_[0]->width() - indicator});
  captions.push_back({QStringLiteral("G87 Rounded"), option1Buttons_[2]->width() - indicator});

  QFont fitted = font();
  const auto fits = [&](const QFont& candidate) {
    const QFontMetrics metrics(candidate);
    for (const Caption& caption : captions) {
      if (metrics.horizontalAdvance(caption.text) > caption.room) return false;
    }
    return true;
  };
  constexpr qreal kSmallestReadable = 6.0;
  while (!fits(fitted) && fitted.pointSizeF() > kSmallestReadable) {
    fitted.setPointSizeF(fitted.pointSizeF() - 0.25);
  }
  setFont(fitted);
}

void QuorrelForm::Option1_Click(short index) {
  if (index < 0 || index > 2) return;
  for (std::size_t i = 0; i < shapes_.size(); ++i) {
    shapes_[i]->setVisible(static_cast<std::size_t>(index) == i);
  }
  label4_->setVisible(index != 0);
  field(Field::Radius)->setVisible(index != 0);
}

SaveRequest QuorrelForm::currentRequest() const {
  SaveRequest request;
  for (const FieldDescription& description : kFields) {
    request.texts.*description.text = Local8Bit(field(description.field)->text());
  }
  operationPanel_->readInto(request.texts);
  const Operation* operation = OperationNamed(machineMenu_->operation());
  // The buttons are tested in order; exactly one is selected.
  if (operation != nullptr) {
    request.shape = operation->kind;
  } else if (option1Buttons_[0]->isChecked()) {
    request.shape = ShapeKind::Rectangle;
  } else if (option1Buttons_[1]->isChecked()) {
    request.shape = ShapeKind::Circle;
  } else {
    request.shape = ShapeKind::RoundedRectangle;
  }
  request.fill = operation == nullptr && check1_->isChecked();
  request.decimalSeparator = Local8Bit(QLocale::system().decimalPoint());
  if (const Machine* machine = machineMenu_->chosen()) {
    request.machine = SettingsOf(*machine);
    request.strategy.outside = operation == nullptr && machineMenu_->outside();
    ApplyStrategy(*machine, request.shape, request.fill, request.strategy);
  }
  return request;
}

std::optional<JobRow> QuorrelForm::currentRow() {
  const std::optional<std::string> machine = machineMenu_->chosenName();
  if (!machine) {
    dialogs_.showMessage(QStringLiteral("quorrel"),
                         QStringLiteral("A job is cut on a controller: choose its machine in the "
                                        "Machine menu first."));
    return std::nullopt;
  }
  const SaveRequest request = currentRequest();
  JobRow row;
  row.request.shape = request.shape;
  row.request.fill = request.fill;
  row.request.texts = request.texts;
  row.request.strategy.outside = request.strategy.outside;
  row.machine = *machine;
  row.tool = jobPanel_->nextTool();
  return row;
}

void QuorrelForm::showRow(const JobRow& row) {
  const std::string machine = row.machine.empty() ? jobPanel_->document().machine : row.machine;
  if (!machine.empty() && machine != machineMenu_->chosenName()) machineMenu_->choose(machine);
  const Operation& operation = OperationOf(row.request.shape);
  machineMenu_->chooseOperation(operation.windowProgram() ? std::string()
                                                          : std::string(operation.name));
  if (operation.windowProgram()) {
    option1Buttons_[static_cast<std::size_t>(operation.kind)]->setChecked(true);
    check1_->setChecked(row.request.fill);
    machineMenu_->setOutside(row.request.strategy.outside);
  }
  for (const FieldDescription& description : kFields) {
    field(description.field)->setText(QString::fromLocal8Bit(row.request.texts.*description.text));
  }
  operationPanel_->setTexts(row.request.texts);
}

// The job of the Job panel, as the saved job file reads, where it has two operations or more.
std::variant<std::monostate, Job, std::string> QuorrelForm::panelJob() const {
  const JobDocument& document = jobPanel_->document();
  if (document.rows.size() < 2) return std::monostate();
  JobMachineSources sources;
  sources.machines = machineMenu_->machinesFile();
  sources.machinesPath = machineMenu_->machinesFilePath();
  std::variant<Job, std::string> job =
      JobOfDocument(document, jobPanel_->path().value_or("untitled.toml"), sources);
  if (const std::string* why = std::get_if<std::string>(&job)) return *why;
  Job& several = std::get<Job>(job);
  const std::string separator = Local8Bit(QLocale::system().decimalPoint());
  for (JobOperation& operation : several.operations) {
    operation.request.decimalSeparator = separator;
  }
  return several;
}

PreviewSubject QuorrelForm::currentSubject() const {
  std::variant<std::monostate, Job, std::string> job = panelJob();
  if (Job* several = std::get_if<Job>(&job)) return std::move(*several);
  return currentRequest();
}

void QuorrelForm::openJob(const std::optional<std::string>& chosen) {
  std::string path = chosen.value_or("");
  if (path.empty()) {
    path = QFile::encodeName(dialogs_.showOpenDialog(kJobFilter)).toStdString();
    if (path.empty()) return;
  }
  machineMenu_->reload();
  JobMachineSources sources;
  sources.machines = machineMenu_->machinesFile();
  sources.machinesPath = machineMenu_->machinesFilePath();
  const std::variant<Job, std::string> job = ReadJobFile(path, sources);
  if (const std::string* why = std::get_if<std::string>(&job)) {
    dialogs_.showMessage(QStringLiteral("quorrel"), QStringLiteral("The job cannot be opened: ") +
                                                        FromUtf8(*why) + QLatin1Char('.'));
    return;
  }
  jobPanel_->setDocument(DocumentOf(std::get<Job>(job)), path);
  memory_.rememberJob(path);
  jobAction_->setChecked(true);
}

void QuorrelForm::saveJob() {
  std::string why;
  const std::optional<std::string> text =
      JobDocumentText(jobPanel_->document(), machineMenu_->machinesFile().machines, why);
  if (!text) {
    dialogs_.showMessage(QStringLiteral("quorrel"),
                         FromUtf8(why) + QStringLiteral(" Nothing was written."));
    return;
  }
  const std::optional<std::string>& kept = jobPanel_->path();
  const QString proposed =
      kept ? QFileInfo(QFile::decodeName(kept->c_str())).fileName() : QStringLiteral("Job1.toml");
  const std::string path =
      QFile::encodeName(dialogs_.showSaveDialog(kJobFilter, proposed)).toStdString();
  if (path.empty()) return;
  try {
    WriteSettingsFile(path, *text);
  } catch (const OutputError& error) {
    dialogs_.showMessage(QStringLiteral("quorrel"),
                         FromUtf8(error.what()) + QLatin1Char(' ') +
                             FromUtf8(WhatTheDestinationHolds(path, error.unchanged())));
    return;
  }
  jobPanel_->setPath(path);
  memory_.rememberJob(path);
}

// Writes the Job panel's job, as quorrel-gcode --job writes its saved file.
void QuorrelForm::saveJobProgram() {
  std::variant<std::monostate, Job, std::string> made = panelJob();
  if (const std::string* why = std::get_if<std::string>(&made)) {
    dialogs_.showMessage(QStringLiteral("quorrel"), QStringLiteral("The job cannot be written: ") +
                                                        FromUtf8(*why) +
                                                        QStringLiteral(" Nothing was written."));
    return;
  }
  const Job& job = std::get<Job>(made);
  const ProgramFile file = ProgramFileFor(job.operations.front().request.machine.dialect);
  const SaveResult result = SaveOperationsProgram(job, [&] {
    return QFile::encodeName(dialogs_.showSaveDialog(file.filter, file.name)).toStdString();
  });
  if (!result.message.empty()) {
    dialogs_.showMessage(QStringLiteral("quorrel"), QString::fromLocal8Bit(result.message));
  }
}

void QuorrelForm::menu_file_save_Click() {
  if (jobPanel_->document().rows.size() >= 2) return saveJobProgram();
  // The machine as the file holds it now, which quorrel-gcode --machine would read too.
  const std::optional<std::string> chosenName = machineMenu_->chosenName();
  machineMenu_->reload();
  const Machine* machine = machineMenu_->chosen();
  if (chosenName && machine == nullptr) {
    const MachinesFile& machines = machineMenu_->machinesFile();
    const MachinesFileFault* fault =
        machines.fault ? &*machines.fault : machines.FaultOf(*chosenName);
    dialogs_.showMessage(
        QStringLiteral("quorrel"),
        QStringLiteral("The machine \"") + FromUtf8(*chosenName) +
            (fault ? QStringLiteral("\" cannot be used (") + FromUtf8(fault->message) +
                         QLatin1Char(')')
                   : QStringLiteral("\" is no longer in the machines file")) +
            QStringLiteral(". Choose what the program is for in the Machine menu. Nothing was "
                           "written."));
    return;
  }
  const SaveRequest request = currentRequest();
  const ProgramFile file = ProgramFileFor(request.machine.dialect);
  const auto askPath = [&] {
    if (machine != nullptr) {
      for (const Setting unused : UnusedSettings(*machine, request.shape, request.fill)) {
        dialogs_.showNote(QStringLiteral("quorrel"), UnusedSettingNote(*machine, unused));
      }
    }
    return QFile::encodeName(dialogs_.showSaveDialog(file.filter, file.name)).toStdString();
  };
  const SaveResult result = SaveGCode(request, askPath);
  if (!result.message.empty()) {
    dialogs_.showMessage(QStringLiteral("quorrel"), QString::fromLocal8Bit(result.message));
  }
}

void QuorrelForm::closeEvent(QCloseEvent* event) {
  // The preview is a window of its own, which would otherwise keep Quorrel running.
  if (preview_ != nullptr) preview_->close();
  QMainWindow::closeEvent(event);
}

void QuorrelForm::menu_file_exit_Click() {
  if (dialogs_.askYesNo(QStringLiteral("Do you want to quit Quorrel?"),
                        QStringLiteral("quorrel"))) {
    close();
  }
}

}  // namespace quorrel::app
