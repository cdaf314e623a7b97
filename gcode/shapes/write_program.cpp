#include "gcode/shapes/write_program.h"

#include "gcode/shapes/circle_program.h"
#include "gcode/shapes/rectangle_program.h"
#include "gcode/shapes/rounded_rectangle_program.h"

namespace quorrel {

void WriteProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                  std::string_view decimalSeparator, const RingSpacing& spacing) {
  switch (job.ShapeKind) {
    case ShapeKind::Rectangle:
      WriteRectangleProgram(job, texts, writer, spacing);
      return;
    case ShapeKind::Circle:
      WriteCircleProgram(job, texts, writer, spacing);
      return;
    case ShapeKind::RoundedRectangle:
      WriteRoundedRectangleProgram(job, texts, writer, decimalSeparator, spacing);
      return;
  }
}

}  // namespace quorrel
