#include "app/formdialogs.h"

#include <QFileDialog>

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "app/commondialog.h"

namespace quorrel::app {

FormDialogs SystemDialogs(QWidget* parent, CommonDialog* commonDialog) {
  QPointer<QWidget> owner(parent);
  QPointer<CommonDialog> common(commonDialog);
  FormDialogs dialogs;
  dialogs.showSaveDialog = [owner, common](const QString& filter, const QString& proposedName) {
    common->setFilter(filter);
    common->setFileName(proposedName);
    return common->showSave(owner);
  };
  dialogs.showOpenDialog = [owner](const QString& filter) {
    return QFileDialog::getOpenFileName(owner, QStringLiteral("Open Job"), QString(), filter);
  };
  dialogs.askYesNo = [owner](const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
  };
  dialogs.showMessage = [owner](const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
    box.exec();
  };
  dialogs.showNote = [owner](const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, owner);
    box.exec();
  };
  return dialogs;
}

}  // namespace quorrel::app
