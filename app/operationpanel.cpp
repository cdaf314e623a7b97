#include "app/operationpanel.h"

#include <QLabel>
#include <QLineEdit>
#include <string>

#include "app/formfields.h"
#include "app/twips.h"
#include "app/utf8.h"
#include "gcode/shapes/operation.h"

namespace quorrel::app {
namespace {

// Where the panel's rows stand, in twips from its corner: under its title, in the columns of
// the form's own captions and fields.
QRect CaptionPlace(int row) {
  return TwipsRect(135, 570 + 360 * row, 1455, 255);
}
QRect FieldPlace(int row) {
  return TwipsRect(1575, 540 + 360 * row, 1095, 285);
}

}  // namespace

OperationPanel::OperationPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("OperationPanel"));
  title_ = AddCaption(this, "OperationTitle", QString(), TwipsRect(0, 90, 2910, 255));
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);
  for (std::size_t i = 0; i < kPatternFields; ++i) {
    const FieldDescription& description = kJobFields[kFields.size() + i];
    // "Text_start_angle", from "--start-angle".
    std::string name = std::string(description.option.substr(2));
    for (char& c : name) c = c == '-' ? '_' : c;
    captions_[i] =
        AddCaption(this, ("Label_" + name).c_str(), FromUtf8(description.caption), CaptionPlace(0));
    fields_[i] =
        AddField(this, ("Text_" + name).c_str(), FromUtf8(description.defaultText), FieldPlace(0));
    connect(fields_[i], &QLineEdit::textChanged, this, &OperationPanel::changed);
  }
}

void OperationPanel::showOperation(ShapeKind shape) {
  const Operation& operation = OperationOf(shape);
  title_->setText(FromUtf8(operation.caption).remove(QLatin1Char('&')));
  int row = 0;
  for (std::size_t i = 0; i < kPatternFields; ++i) {
    const bool used = operation.UsesField(kJobFields[kFields.size() + i].field);
    captions_[i]->setVisible(used);
    fields_[i]->setVisible(used);
    if (!used) continue;
    captions_[i]->setGeometry(CaptionPlace(row));
    fields_[i]->setGeometry(FieldPlace(row));
    ++row;
  }
}

void OperationPanel::setTexts(const FieldTexts& texts) {
  for (std::size_t i = 0; i < kPatternFields; ++i) {
    fields_[i]->setText(QString::fromLocal8Bit(texts.*kJobFields[kFields.size() + i].text));
  }
}

void OperationPanel::readInto(FieldTexts& texts) const {
  for (std::size_t i = 0; i < kPatternFields; ++i) {
    texts.*kJobFields[kFields.size() + i].text = fields_[i]->text().toLocal8Bit().toStdString();
  }
}

}  // namespace quorrel::app
