#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace quorrel::app {

/// The modal boxes the window asks through. The window's tests answer them in place of a person.
struct FormDialogs {
  /// The save dialog: a file-type filter in Qt's form and a proposed name in, the chosen path
  /// out, or an empty text when the user cancels.
  std::function<QString(const QString& filter, const QString& proposedName)> showSaveDialog;
  /// The open dialog: a file-type filter in, the chosen path out, or an empty text.
  std::function<QString(const QString& filter)> showOpenDialog;
  /// A question with the buttons Yes and No, Yes the default; true for Yes.
  std::function<bool(const QString& text, const QString& title)> askYesNo;
  /// A message about a save that failed.
  std::function<void(const QString& title, const QString& text)> showMessage;
  /// A note the machinist should read before the save goes on.
  std::function<void(const QString& title, const QString& text)> showNote;
};

class CommonDialog;

/// The system's boxes, modal over `parent`; the save dialog is the form's `commonDialog`.
FormDialogs SystemDialogs(QWidget* parent, CommonDialog* commonDialog);

}  // namespace quorrel::app
