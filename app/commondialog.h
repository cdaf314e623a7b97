#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace quorrel::app {

/// The window's file dialog for saving: a file-type filter and a proposed name, nothing else.
/// It never asks before replacing a file and never adds an extension to a typed name.
class CommonDialog : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  /// Filter entries in Qt's form: "description (pattern)", several separated by ";;".
  void setFilter(const QString& filter) { filter_ = filter; }
  void setFileName(const QString& fileName) { fileName_ = fileName; }

  /// Shows the dialog modally over `parent`; the chosen path, or an empty text on cancel.
  QString showSave(QWidget* parent);

 private:
  QString filter_;
  QString fileName_;
};

}  // namespace quorrel::app
