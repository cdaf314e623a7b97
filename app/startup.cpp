#include "app/startup.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace quorrel::app {

void ShowCenteredOnScreen(QWidget& window) {
  window.adjustSize();
  window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                         window.screen()->availableGeometry()));
  window.show();
}

}  // namespace quorrel::app
