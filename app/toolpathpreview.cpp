#include "app/toolpathpreview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace quorrel::app {
namespace {

constexpr double kZoomStep = 1.25;
constexpr double kLeastZoom = 0.25;
constexpr double kMostZoom = 400.0;
constexpr int kSlowMs = 250;

}  // namespace

ToolpathPreview::ToolpathPreview(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("ToolpathPreview"));
  setWindowTitle(QStringLiteral("Toolpath Preview"));
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(200, 150);
  resize(640, 460);
  setAutoFillBackground(true);
  setPalette(QPalette(Qt::white));
  view_.size = size();
  view_.pixelRatio = devicePixelRatioF();

  pause_.setSingleShot(true);
  pause_.setInterval(kPauseMs);
  connect(&pause_, &QTimer::timeout, this, &ToolpathPreview::drawAgain);
  slow_.setSingleShot(true);
  slow_.setInterval(kSlowMs);
  connect(&slow_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

// The drawing being made is finished first, by the work: nothing of it may outlive the window.
ToolpathPreview::~ToolpathPreview() = default;

void ToolpathPreview::setSubject(const PreviewSubject& subject) {
  if (subject_ == subject) return;
  subject_ = subject;
  pause_.start();
}

void ToolpathPreview::drawAgain() {
  if (!subject_ || !isVisible()) return;
  if (!work_.busy()) slow_.start();
  view_.pixelRatio = devicePixelRatioF();
  work_.run([this, subject = *subject_, view = view_]() -> std::function<void()> {
    RenderedPreview rendered = renderer_.render(subject, view);
    return [this, rendered = std::move(rendered)] { receive(rendered); };
  });
}

void ToolpathPreview::receive(RenderedPreview rendered) {
  // A drawing that waited is made next, and is slow only once it takes a moment.
  if (work_.waiting()) {
    slow_.start();
  } else {
    slow_.stop();
  }
  shown_ = std::move(rendered);
  ++shownCount_;
  update();
  emit shown();
}

void ToolpathPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintDrawing(painter);
  if (work_.busy() && !slow_.isActive()) {
    const QString text = QStringLiteral("Drawing…");
    const QRect box = painter.fontMetrics().boundingRect(text).adjusted(-6, -3, 6, 3);
    painter.resetTransform();
    painter.fillRect(box.translated(10 - box.left(), 10 - box.top()), QColor(255, 255, 220));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(box.translated(10 - box.left(), 10 - box.top()), Qt::AlignCenter, text);
  }
}

void ToolpathPreview::paintDrawing(QPainter& painter) {
  if (!shown_.message.isEmpty()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap,
                     shown_.message);
    return;
  }
  if (shown_.image.isNull()) return;
  // Until the drawing for the view as it is now arrives, the last one is moved and scaled to it.
  const QTransform drawn = ViewTransform(shown_.view, shown_.drawingSize);
  const QTransform now = ViewTransform(view_, shown_.drawingSize);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setTransform(drawn.inverted() * now);
  painter.drawImage(QPointF(0, 0), shown_.image);
}

void ToolpathPreview::resizeEvent(QResizeEvent*) {
  view_.size = size();
  drawAgain();
}

void ToolpathPreview::showEvent(QShowEvent*) {
  drawAgain();
}

void ToolpathPreview::hideEvent(QHideEvent*) {
  emit hidden();
}

QPointF ToolpathPreview::drawingCentre() const {
  const QSizeF drawing = shown_.drawingSize;
  return view_.centre.value_or(QPointF(drawing.width() / 2, drawing.height() / 2));
}

void ToolpathPreview::zoomAbout(double factor, QPointF pixel) {
  if (shown_.drawingSize.isEmpty()) return;
  const double zoom = std::clamp(view_.zoom * factor, kLeastZoom, kMostZoom);
  // The point under `pixel` stays where it is.
  const QPointF point = ViewTransform(view_, shown_.drawingSize).inverted().map(pixel);
  const QPointF centre = drawingCentre();
  view_.centre = point + (centre - point) * (view_.zoom / zoom);
  view_.zoom = zoom;
  update();
  drawAgain();
}

void ToolpathPreview::moveBy(QPointF pixels) {
  if (shown_.drawingSize.isEmpty()) return;
  const QTransform map = ViewTransform(view_, shown_.drawingSize);
  view_.centre = drawingCentre() - QPointF(pixels.x() / map.m11(), pixels.y() / map.m22());
  update();
  drawAgain();
}

void ToolpathPreview::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0.0) zoomAbout(std::pow(kZoomStep, steps), event->position());
  event->accept();
}

void ToolpathPreview::mousePressEvent(QMouseEvent* event) {
  dragFrom_ = event->position().toPoint();
}

void ToolpathPreview::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint to = event->position().toPoint();
  moveBy(to - dragFrom_);
  dragFrom_ = to;
}

void ToolpathPreview::keyPressEvent(QKeyEvent* event) {
  const QPointF middle(width() / 2.0, height() / 2.0);
  const double step = std::min(width(), height()) / 8.0;
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      zoomAbout(kZoomStep, middle);
      break;
    case Qt::Key_Minus:
      zoomAbout(1.0 / kZoomStep, middle);
      break;
    case Qt::Key_0:
    case Qt::Key_Home:
      view_.zoom = 1.0;
      view_.centre.reset();
      update();
      drawAgain();
      break;
    case Qt::Key_Left:
      moveBy(QPointF(step, 0));
      break;
    case Qt::Key_Right:
      moveBy(QPointF(-step, 0));
      break;
    case Qt::Key_Up:
      moveBy(QPointF(0, step));
      break;
    case Qt::Key_Down:
      moveBy(QPointF(0, -step));
      break;
    case Qt::Key_Escape:
      close();
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace quorrel::app
