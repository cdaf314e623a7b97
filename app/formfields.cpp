#include "app/formfields.h"

#include <QLabel>
#include <QLineEdit>
#include <limits>

namespace quorrel::app {

void SetColours(QWidget* widget, QPalette::ColorRole backgroundRole, const QColor& background,
                QPalette::ColorRole textRole, const QColor& text) {
  QPalette palette = widget->palette();
  if (background.isValid()) palette.setColor(backgroundRole, background);
  palette.setColor(textRole, text);
  widget->setPalette(palette);
}

QLineEdit* AddField(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* field = new QLineEdit(text, parent);
  field->setObjectName(QLatin1String(name));
  field->setGeometry(geometry);
  field->setMaxLength(std::numeric_limits<int>::max());
  field->setAlignment(Qt::AlignLeft);
  SetColours(field, QPalette::Base, kFieldBackground, QPalette::Text, kDarkRed);
  return field;
}

QLabel* AddCaption(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(geometry);
  return label;
}

}  // namespace quorrel::app
