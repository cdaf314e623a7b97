#include "app/previewrendering.h"

// glib names a field "signals", which Qt's keyword of that name would turn into "public".
#pragma push_macro("signals")
#undef signals
#include <librsvg/rsvg.h>
#pragma pop_macro("signals")

#include <algorithm>

#include "gcode/jobs/job_program.h"
#include "gcode/save/job_preview.h"

namespace quorrel::app {

/// A parsed SVG drawing, rendered by librsvg: the preview's drawing has clip paths and masks
/// (the cutter's sweep beyond the contour), which Qt's own SVG renderer leaves out.
class SvgDrawing {
 public:
  explicit SvgDrawing(const std::string& svg) {
    handle_ = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()),
                                        static_cast<gsize>(svg.size()), nullptr);
    if (handle_ == nullptr) return;
    gdouble width = 0.0;
    gdouble height = 0.0;
    if (rsvg_handle_get_intrinsic_size_in_pixels(handle_, &width, &height)) {
      size_ = QSizeF(width, height);
    }
  }
  ~SvgDrawing() {
    if (handle_ != nullptr) g_object_unref(handle_);
  }
  SvgDrawing(const SvgDrawing&) = delete;
  SvgDrawing& operator=(const SvgDrawing&) = delete;

  bool valid() const { return handle_ != nullptr && !size_.isEmpty(); }
  QSizeF size() const { return size_; }

  QImage render(const PreviewView& view) const {
    const QSize pixels = view.size * view.pixelRatio;
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.fill(Qt::white);
    image.setDevicePixelRatio(view.pixelRatio);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        image.bits(), CAIRO_FORMAT_ARGB32, pixels.width(), pixels.height(),
        static_cast<int>(image.bytesPerLine()));
    cairo_t* cairo = cairo_create(surface);
    const QTransform map =
        ViewTransform(view, size_) * QTransform::fromScale(view.pixelRatio, view.pixelRatio);
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, map.m11(), map.m12(), map.m21(), map.m22(), map.dx(), map.dy());
    cairo_set_matrix(cairo, &matrix);
    const RsvgRectangle whole{0.0, 0.0, size_.width(), size_.height()};
    rsvg_handle_render_document(handle_, cairo, &whole, nullptr);
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
    return image;
  }

 private:
  RsvgHandle* handle_ = nullptr;
  QSizeF size_;
};

QTransform ViewTransform(const PreviewView& view, const QSizeF& drawing) {
  if (drawing.isEmpty() || view.size.isEmpty()) return {};
  const double fit =
      std::min(view.size.width() / drawing.width(), view.size.height() / drawing.height());
  const double scale = fit * view.zoom;
  const QPointF centre = view.centre.value_or(QPointF(drawing.width() / 2, drawing.height() / 2));
  QTransform map;
  map.translate(view.size.width() / 2.0, view.size.height() / 2.0);
  map.scale(scale, scale);
  map.translate(-centre.x(), -centre.y());
  return map;
}

PreviewRenderer::PreviewRenderer() = default;
PreviewRenderer::~PreviewRenderer() = default;

RenderedPreview PreviewRenderer::render(const PreviewSubject& subject, const PreviewView& view) {
  if (subject_ != subject) {
    subject_ = subject;
    drawing_.reset();
    const JobPreview preview = std::holds_alternative<Job>(subject)
                                   ? DrawOperationsPreview(std::get<Job>(subject))
                                   : DrawJobPreview(std::get<SaveRequest>(subject));
    message_ = QString::fromLocal8Bit(preview.message);
    if (message_.isEmpty()) {
      drawing_ = std::make_unique<SvgDrawing>(preview.svg);
      if (!drawing_->valid()) {
        drawing_.reset();
        message_ = QStringLiteral("The drawing of this job cannot be shown.");
      }
    }
  }
  RenderedPreview rendered;
  rendered.view = view;
  rendered.message = message_;
  if (drawing_) {
    rendered.drawingSize = drawing_->size();
    rendered.image = drawing_->render(view);
  }
  return rendered;
}

}  // namespace quorrel::app
