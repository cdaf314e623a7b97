#include "gcode/shapes/shape_toolpath.h"

#include "gcode/shapes/circle_toolpath.h"
#include "gcode/shapes/rectangle_toolpath.h"
#include "gcode/shapes/rounded_rectangle_toolpath.h"

namespace quorrel {

void MakeShapeToolpath(const JobParameters& job, const FieldTexts& texts,
                       std::string_view decimalSeparator, ToolpathSink& sink,
                       const RingSpacing& spacing) {
  switch (job.ShapeKind) {
    case ShapeKind::Rectangle:
      MakeRectangleToolpath(job, texts, sink, spacing);
      return;
    case ShapeKind::Circle:
      MakeCircleToolpath(job, texts, sink, spacing);
      return;
    case ShapeKind::RoundedRectangle:
      MakeRoundedRectangleToolpath(job, texts, decimalSeparator, sink, spacing);
      return;
  }
}

}  // namespace quorrel
