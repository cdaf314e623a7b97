#include <QApplication>
#include <QScreen>
#include <QStyle>

#include "app/quorrelform.h"

int main(int argc, char** argv) {
  // The window takes no arguments: only the program name reaches Qt, so any that are given are
  // ignored (Qt's own options as well).
  int qtArgc = argc > 0 ? 1 : 0;
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("quorrel"));
  QApplication::setApplicationVersion(QStringLiteral("1.00"));

  quorrel::app::QuorrelForm form;
  form.adjustSize();
  form.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, form.size(),
                                       form.screen()->availableGeometry()));
  form.show();
  return QApplication::exec();
}
