#pragma once

#include <QWidget>

namespace quorrel::app {

/// A fixed outline of a shape for the window's preview: a thin line in the window-text colour,
/// never filled. It does not follow the job's numbers.
class ShapePictogram : public QWidget {
  Q_OBJECT

 public:
  enum class Outline { Rectangle, Circle, RoundedRectangle };

  ShapePictogram(Outline outline, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Outline outline_;
};

}  // namespace quorrel::app
