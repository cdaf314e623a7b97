#include "app/commondialog.h"

#include <QFileDialog>

namespace quorrel::app {

QString CommonDialog::showSave(QWidget* parent) {
  // Qt's own dialog: a platform dialog may ask before replacing a file or add an extension.
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
  dialog.setNameFilter(filter_);
  dialog.selectFile(fileName_);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().constFirst();
}

}  // namespace quorrel::app
