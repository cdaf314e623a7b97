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

}  // namespace

QuorrelForm::QuorrelForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("QuorrelForm"));
  setWindowTitle(QStringLiteral("Quorrel's (by the Quorrel developers)"));
  setWindowIcon(
      QIcon::fromTheme(QStringLiteral("quorrel"), QIcon(QStringLiteral(":/icons/quorrel.png"))));
  dialogs_ = SystemDialogs(this);
  (new CommonDialog(this))->setObjectName(QStringLiteral("CommonDialog1"));

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

  addCaption(client, "Label1_0", QStringLiteral("Position Center X"),
             TwipsRect(960, 2280, 1335, 255));
  text1_[0] = addField(client, "Text1_0", QStringLiteral("0"), TwipsRect(2400, 2250, 1095, 285));
  addCaption(client, "Label1_1", QStringLiteral("Position Center Y"),
             TwipsRect(960, 2640, 1335, 255));
  text1_[1] = addField(client, "Text1_1", QStringLiteral("0"), TwipsRect(2400, 2640, 1095, 285));
  addCaption(client, "Label2", QStringLiteral("Width"), TwipsRect(960, 3030, 1455, 255));
  text2_ = addField(client, "Text2", QStringLiteral("10"), TwipsRect(2400, 3000, 1095, 285));
  addCaption(client, "Label3", QStringLiteral("Height"), TwipsRect(960, 3390, 1455, 255));
  text3_ = addField(client, "Text3", QStringLiteral("10"), TwipsRect(2400, 3360, 1095, 285));
  label4_ = addCaption(client, "Label4", QStringLiteral("Radius"), TwipsRect(960, 3750, 1455, 255));
  text4_ = addField(client, "Text4", QStringLiteral("2"), TwipsRect(2400, 3720, 1095, 285));
  addCaption(client, "Label5", QStringLiteral("Tool Radius"), TwipsRect(960, 4110, 1455, 255));
  text5_ = addField(client, "Text5", QStringLiteral("1"), TwipsRect(2400, 4080, 1095, 285));
  addCaption(client, "Label6", QStringLiteral("Depth"), TwipsRect(960, 4470, 1455, 255));
  text6_ = addField(client, "Text6", QStringLiteral("-2"), TwipsRect(2400, 4440, 1095, 285));
  label4_->hide();
  text4_->hide();

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
  const QWidget* order[] = {option1Buttons_[0], text1_[0], text2_, text3_, text4_, check1_, text5_,
                            text1_[1],          text6_};
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
  text4_->setVisible(index != 0);
}

SaveRequest QuorrelForm::currentRequest() const {
  SaveRequest request;
  request.texts.CenterXText = Local8Bit(text1_[0]->text());
  request.texts.CenterYText = Local8Bit(text1_[1]->text());
  request.texts.WidthText = Local8Bit(text2_->text());
  request.texts.HeightText = Local8Bit(text3_->text());
  request.texts.RadiusText = Local8Bit(text4_->text());
  request.texts.ToolRadiusText = Local8Bit(text5_->text());
  request.texts.DepthText = Local8Bit(text6_->text());
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
  const auto askPath = [this](std::string_view filter, std::string_view proposedName) {
    const QString path = dialogs_.showSaveDialog(
        QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())),
        QString::fromUtf8(proposedName.data(), static_cast<qsizetype>(proposedName.size())));
    return QFile::encodeName(path).toStdString();
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
