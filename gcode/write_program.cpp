#include "gcode/write_program.h"

#include "gcode/circle_program.h"
#include "gcode/rectangle_program.h"
#include "gcode/rounded_rectangle_program.h"

namespace quorrel {

void WriteProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                  std::string_view decimalSeparator) {
  switch (job.ShapeKind) {
    case ShapeKind::Rectangle:
      WriteRectangleProgram(job, texts, writer);
      return;
    case ShapeKind::Circle:
      WriteCircleProgram(job, texts, writer);
      return;
    case ShapeKind::RoundedRectangle:
      WriteRoundedRectangleProgram(job, texts, writer, decimalSeparator);
      return;
  }
}

}  // namespace quorrel
