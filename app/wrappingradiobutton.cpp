#include "app/wrappingradiobutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace quorrel::app {

WrappingRadioButton::WrappingRadioButton(const QString& caption, QWidget* parent)
    : QRadioButton(caption, parent) {}

QRect WrappingRadioButton::captionRect() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  return style()->subElementRect(QStyle::SE_RadioButtonContents, &option, this);
}

QStringList WrappingRadioButton::wrappedLines() const {
  // Greedy wrapping at blanks; the blanks at a break belong to neither line.
  const QFontMetrics metrics = fontMetrics();
  const int room = captionRect().width();
  QStringList lines;
  QString line;
  for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    if (!line.isEmpty() && metrics.horizontalAdvance(longer) > room) {
      lines << line;
      line = word;
    } else {
      line = longer;
    }
  }
  if (!line.isEmpty()) lines << line;
  return lines;
}

void WrappingRadioButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);

  QStyleOptionButton indicator = option;
  indicator.rect = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
  painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicator);

  const QRect caption = captionRect();
  const QString wrapped = wrappedLines().join(QLatin1Char('\n'));
  painter.drawItemText(caption, Qt::AlignLeft | Qt::AlignVCenter, option.palette, isEnabled(),
                       wrapped, QPalette::WindowText);

  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = fontMetrics()
                     .boundingRect(caption, Qt::AlignLeft | Qt::AlignVCenter, wrapped)
                     .adjusted(-1, -1, 1, 1);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

bool WrappingRadioButton::hitButton(const QPoint& position) const {
  return rect().contains(position);
}

}  // namespace quorrel::app
