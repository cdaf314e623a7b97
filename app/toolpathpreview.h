#pragma once

#include <QPainter>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "app/newestwork.h"
#include "app/previewrendering.h"
#include "gcode/save/program_request.h"

namespace quorrel::app {

/// The Toolpath Preview window: the drawing quorrel-gcode --preview makes of the job the form
/// holds, drawn again shortly after each change. Drawings are made on a thread of their own, one
/// at a time, so that the form never waits; a drawing asked for while another is made waits, and
/// only the newest of those is made. A job that cannot be written shows why instead. The wheel,
/// the "+" and "-" keys zoom, dragging or the arrow keys move the drawing, "0" fits it again.
class ToolpathPreview : public QWidget {
  Q_OBJECT

 public:
  explicit ToolpathPreview(QWidget* parent = nullptr);
  ~ToolpathPreview() override;

  /// The job to draw, the form's operation or a job of several; drawn once the typing pauses.
  void setSubject(const PreviewSubject& subject);

  /// What is shown now: a message where the job cannot be written, or an empty text.
  QString shownMessage() const { return shown_.message; }
  /// How many drawings have been shown, so that a test can wait for the next.
  int shownCount() const { return shownCount_; }
  /// The view the next drawing is made for.
  const PreviewView& view() const { return view_; }

  /// How long the preview waits after a change for the typing to pause.
  static constexpr int kPauseMs = 30;

 signals:
  /// A drawing, or a message, is shown.
  void shown();
  /// The window was closed or hidden.
  void hidden();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void drawAgain();
  void paintDrawing(QPainter& painter);
  void receive(RenderedPreview rendered);
  void zoomAbout(double factor, QPointF pixel);
  void moveBy(QPointF pixels);
  QPointF drawingCentre() const;

  PreviewRenderer renderer_;  // used by the work only
  NewestWork work_;
  std::optional<PreviewSubject> subject_;
  PreviewView view_;
  RenderedPreview shown_;
  int shownCount_ = 0;
  QTimer pause_;
  QTimer slow_;  // says "Drawing…" once a drawing takes longer than a moment
  QPoint dragFrom_;
};

}  // namespace quorrel::app
