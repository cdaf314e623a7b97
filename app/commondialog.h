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

  /// Filter entries as "description|pattern|description|pattern...".
  void setFilter(const QString& filter) { filter_ = filter; }
  void setFileName(const QString& fileName) { fileName_ = fileName; }

  /// Shows the dialog modally over `parent`; the chosen path, or an empty text on cancel.
  QString showSave(QWidget* parent);

  /// The filter in Qt's form: one "description" a line (each description names its pattern).
  static QString QtFilter(const QString& filter);

 private:
  QString filter_;
  QString fileName_;
};

}  // namespace quorrel::app
