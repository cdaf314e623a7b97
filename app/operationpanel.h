#pragma once

#include <QWidget>
#include <array>

#include "gcode/job/field_table.h"
#include "gcode/job/field_texts.h"

class QLabel;
class QLineEdit;

namespace quorrel::app {

/// What stands in place of the form's shape panel while an operation other than the form's
/// shapes is chosen: the operation's name, and the fields of its pattern (a bolt-hole circle's
/// holes and start angle, a grid's columns and rows) in the look of the form's fields. The
/// fields keep what was typed into them while other operations are chosen.
class OperationPanel : public QWidget {
  Q_OBJECT

 public:
  explicit OperationPanel(QWidget* parent = nullptr);

  /// Shows the operation of `shape`: its caption, and the pattern fields it is made from.
  void showOperation(ShapeKind shape);
  /// The pattern fields' texts, exactly as typed, into `texts`.
  void readInto(FieldTexts& texts) const;
  /// The pattern fields' texts from `texts`.
  void setTexts(const FieldTexts& texts);
  /// The pattern fields, in the order the keyboard reaches them.
  const auto& fields() const { return fields_; }

 signals:
  /// A pattern field's text changed.
  void changed();

 private:
  static constexpr std::size_t kPatternFields = kJobFields.size() - kFields.size();
  QLabel* title_ = nullptr;
  std::array<QLabel*, kPatternFields> captions_{};
  std::array<QLineEdit*, kPatternFields> fields_{};
};

}  // namespace quorrel::app
