// Starts the window as the program does and ends as soon as it has first been painted, so that
// timing the whole process measures the start-up a person waits for.
#include <QApplication>
#include <QEvent>

#include "app/quorrelform.h"
#include "app/startup.h"

namespace {

class QuitOnFirstPaint : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) QCoreApplication::quit();
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  int qtArgc = argc > 0 ? 1 : 0;
  QApplication application(qtArgc, argv);
  quorrel::app::QuorrelForm form;
  QuitOnFirstPaint quit;
  form.installEventFilter(&quit);
  quorrel::app::ShowCenteredOnScreen(form);
  return QApplication::exec();
}
