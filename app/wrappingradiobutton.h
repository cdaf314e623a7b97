#pragma once

#include <QRadioButton>

namespace quorrel::app {

/// An option button whose caption wraps at blanks within the button's width, as a long caption
/// must. It stays one ordinary QRadioButton for the mouse, the keyboard, focus, the button group
/// and accessibility (its accessible name is the whole caption); only the drawing differs.
class WrappingRadioButton : public QRadioButton {
  Q_OBJECT

 public:
  WrappingRadioButton(const QString& caption, QWidget* parent);

  /// The caption as drawn: one entry a line.
  QStringList wrappedLines() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& position) const override;

 private:
  QRect captionRect() const;
};

}  // namespace quorrel::app
