#pragma once

class QWidget;

namespace quorrel::app {

/// Shows the window in the middle of the screen it is on.
void ShowCenteredOnScreen(QWidget& window);

}  // namespace quorrel::app
