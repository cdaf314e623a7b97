#include <QApplication>

#include "app/quorrelform.h"
#include "app/startup.h"
#include "gcode/version.h"

int main(int argc, char** argv) {
  // The window takes no arguments: only the program name reaches Qt, so any that are given are
  // ignored (Qt's own options as well).
  int qtArgc = argc > 0 ? 1 : 0;
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("quorrel"));
  QApplication::setApplicationVersion(QString::fromUtf8(
      quorrel::kVersion.data(), static_cast<qsizetype>(quorrel::kVersion.size())));

  quorrel::app::QuorrelForm form;
  quorrel::app::ShowCenteredOnScreen(form);
  return QApplication::exec();
}
