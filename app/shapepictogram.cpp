#include "app/shapepictogram.h"

#include <QPainter>

namespace quorrel::app {

ShapePictogram::ShapePictogram(Outline outline, QWidget* parent)
    : QWidget(parent), outline_(outline) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapePictogram::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, outline_ != Outline::Rectangle);
  painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
  painter.setBrush(Qt::NoBrush);

  // The largest square that fits, centred: the circle's box is taller than the others, and all
  // three pictograms share one square.
  const int side = qMin(width(), height()) - 1;
  const QRectF square((width() - 1 - side) / 2.0 + 0.5, (height() - 1 - side) / 2.0 + 0.5, side,
                      side);
  switch (outline_) {
    case Outline::Rectangle:
      painter.drawRect(square);
      break;
    case Outline::Circle:
      painter.drawEllipse(square);
      break;
    case Outline::RoundedRectangle: {
      const qreal cornerRadius = side / 5.0;
      painter.drawRoundedRect(square, cornerRadius, cornerRadius);
      break;
    }
  }
}

}  // namespace quorrel::app
