#include "gcode/shapes/program_title.h"

#include <string>

#include "gcode/numbers/number_text.h"

namespace quorrel {

void WriteProgramTitle(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                       std::string_view decimalSeparator) {
  switch (job.ShapeKind) {
    case ShapeKind::Rectangle:
      writer.WriteLine(ProgramLine{"N10 ( rectangle H", CommentText{texts.WidthText}, " x W",
                                   CommentText{texts.HeightText}, " )"});
      return;
    case ShapeKind::Circle:
      writer.WriteLine(ProgramLine{"N10 ( Circle R", CommentText{texts.RadiusText}, " )"});
      return;
    case ShapeKind::RoundedRectangle: {
      const std::string radius = FormatNumberPlain(job.CornerRadius, decimalSeparator);
      writer.WriteLine(ProgramLine{"N10 ( rectangle rounded corner H", CommentText{texts.WidthText},
                                   " x W", CommentText{texts.HeightText},
                                   " R=", CommentText{radius}, " )"});
      return;
    }
  }
}

}  // namespace quorrel
