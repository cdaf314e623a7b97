#pragma once

#include <QPoint>
#include <QRect>

namespace quorrel::app {

/// The window is designed in twips: 1/1440 inch, 15 to a pixel at 96 dots per inch. Qt's
/// device-independent pixels are 96-dpi pixels, so the design scales on high-DPI screens.
constexpr int Twips(int twips) {
  return (twips + 7) / 15;
}

inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

}  // namespace quorrel::app
