#include "app/quorrelform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>
#include <limits>
#include <vector>

#include "app/commondialog.h"
#include "app/shapepictogram.h"
#include "app/twips.h"
#include "app/wrappingradiobutton.h"
#include "gcode/job/field_table.h"

namespace quorrel::app {
namespace {

const QColor kFieldBackground(255, 255, 128);
const QColor kDarkRed(64, 0, 0);
const QColor kRed(255, 0, 0);

void SetColours(QWidget* widget, QPalette::ColorRole backgroundRole, const QColor& background,
                QPalette::ColorRole textRole, const QColor& text) {
  QPalette palette = widget->palette();
  if (background.isValid()) palette.setColor(backgroundRole, background);
  palette.setColor(textRole, text);
  widget->setPalette(palette);
}

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

QString Latin1(std::string_view text) {
  return QLatin1String(text.data(), static_cast<qsizetype>(text.size()));
}

// The save dialog's one file type, and the name it proposes.
const QString kProgramFileFilter = QStringLiteral("Din ( G-Code ) (*.din)");
const QString kProposedFileName = QStringLiteral("File1.din");

}  // namespace

QuorrelForm::QuorrelForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("QuorrelForm"));
  setWindowTitle(QStringLiteral("Quorrel's (by the Quorrel developers)"));
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
  setTabOrder();
  fitFontToDesign();
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
}

QLineEdit* QuorrelForm::addField(QWidget* client, const char* name, const QString& text,
                                 QRect geometry) {
  auto* field = new QLineEdit(text, client);
  field->setObjectName(QLatin1String(name));
  field->setGeometry(geometry);
  field->setMaxLength(std::numeric_limits<int>::max());
  field->setAlignment(Qt::AlignLeft);
  SetColours(field, QPalette::Base, kFieldBackground, QPalette::Text, kDarkRed);
  return field;
}

QLabel* QuorrelForm::addCaption(QWidget* client, const char* name, const QString& caption,
                                QRect geometry) {
  auto* label = new QLabel(caption, client);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(geometry);
  return label;
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
        addCaption(client, place.label, Latin1(description.caption), place.labelGeometry);
    QLineEdit* text =
        addField(client, place.text, Latin1(description.defaultText), place.textGeometry);
    fields_[static_cast<std::size_t>(place.field)] = text;
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
  AddLine(client, "Line1", QRect(Twips(3000), Twips(720), 1, Twips(1200) - Twips(720) + 1));
  AddLine(client, "Line2", QRect(Twips(2760), Twips(960), Twips(3240) - Twips(2760) + 1, 1));
  QLabel* zero =
      addCaption(client, "Label7", QStringLiteral("Zero"), TwipsRect(2640, 960, 375, 255));
  SetColours(zero, QPalette::Window, QColor(), QPalette::WindowText, kRed);
  zero->setAttribute(Qt::WA_TransparentForMouseEvents);
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
  // The buttons are tested in order; exactly one is selected.
  if (option1Buttons_[0]->isChecked()) {
    request.shape = ShapeKind::Rectangle;
  } else if (option1Buttons_[1]->isChecked()) {
    request.shape = ShapeKind::Circle;
  } else {
    request.shape = ShapeKind::RoundedRectangle;
  }
  request.fill = check1_->isChecked();
  request.decimalSeparator = Local8Bit(QLocale::system().decimalPoint());
  return request;
}

void QuorrelForm::menu_file_save_Click() {
  const auto askPath = [this] {
    return QFile::encodeName(dialogs_.showSaveDialog(kProgramFileFilter, kProposedFileName))
        .toStdString();
  };
  const SaveResult result = SaveGCode(currentRequest(), askPath);
  if (!result.message.empty()) {
    dialogs_.showMessage(QStringLiteral("quorrel"), QString::fromLocal8Bit(result.message));
  }
}

void QuorrelForm::menu_file_exit_Click() {
  if (dialogs_.askYesNo(QStringLiteral("Do you want to quit Quorrel?"),
                        QStringLiteral("quorrel"))) {
    close();
  }
}

}  // namespace quorrel::app
