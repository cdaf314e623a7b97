#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <memory>
#include <optional>
#include <variant>

#include "gcode/jobs/job_file.h"
#include "gcode/save/program_request.h"

namespace quorrel::app {

/// Where a drawing is seen from: the view's size, how far it is zoomed, and which point of the
/// drawing lies in its middle.
struct PreviewView {
  QSize size;                     ///< in the screen's device-independent pixels
  qreal pixelRatio = 1.0;         ///< device pixels to each of them
  double zoom = 1.0;              ///< 1: the whole drawing fits the view
  std::optional<QPointF> centre;  ///< in the drawing's own units; its middle when absent

  bool operator==(const PreviewView&) const = default;
};

/// From the drawing's units to the view's pixels.
QTransform ViewTransform(const PreviewView& view, const QSizeF& drawing);

/// What the preview draws: the form's operation, or a job of several.
using PreviewSubject = std::variant<SaveRequest, Job>;

class SvgDrawing;

/// What the preview shows of a job, seen from one view: the drawing, or why there is none.
struct RenderedPreview {
  QImage image;     ///< in device pixels; null when there is a message
  QString message;  ///< why the job cannot be written
  PreviewView view;
  QSizeF drawingSize;
};

/// Makes the drawings of the preview, away from the window's thread: a job's drawing is made and
/// parsed only when the job changed, and rendered anew for each view.
class PreviewRenderer {
 public:
  PreviewRenderer();
  ~PreviewRenderer();
  RenderedPreview render(const PreviewSubject& subject, const PreviewView& view);

 private:
  std::optional<PreviewSubject> subject_;
  std::unique_ptr<SvgDrawing> drawing_;
  QString message_;
};

}  // namespace quorrel::app
