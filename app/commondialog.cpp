#include "app/commondialog.h"

#include <QFileDialog>

namespace quorrel::app {

QString CommonDialog::QtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList descriptions;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    // The description ends with its pattern in parentheses, which is what Qt matches on.
    QString description = parts[i];
    if (!description.endsWith(QLatin1String("(") + parts[i + 1] + QLatin1String(")"))) {
      description += QLatin1String(" (") + parts[i + 1] + QLatin1String(")");
    }
    descriptions << description;
  }
  return descriptions.join(QLatin1String(";;"));
}

QString CommonDialog::showSave(QWidget* parent) {
  // Qt's own dialog: a platform dialog may ask before replacing a file or add an extension.
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
  dialog.setNameFilter(QtFilter(filter_));
  dialog.selectFile(fileName_);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().constFirst();
}

}  // namespace quorrel::app
