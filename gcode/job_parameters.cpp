#include "gcode/job_parameters.h"

#include <string>

#include "gcode/arithmetic_fault.h"
#include "gcode/checked_float.h"
#include "gcode/parse_field_number.h"
#include "gcode/round3.h"

namespace quorrel {
namespace {

double ParseField(const std::string& text, const char* caption) {
  try {
    return ParseFieldNumber(text);
  } catch (const ArithmeticFault&) {
    throw ArithmeticFault(FaultKind::Overflow, std::string("The ") + caption +
                                                   " field holds a number too large to compute "
                                                   "with (beyond about 1.8E+308).");
  }
}

double ParseRounded(const std::string& text, const char* caption) {
  return Round3(ParseField(text, caption));
}

float ParseRounded32(const std::string& text, const char* caption) {
  const double parsed = ParseField(text, caption);
  if (!FitsFloat32(parsed)) {
    throw ArithmeticFault(FaultKind::Overflow, std::string("The ") + caption +
                                                   " field holds a number too large for it "
                                                   "(beyond about 3.4E+38).");
  }
  // The rounded value of a float never exceeds the float range, so the second narrowing is safe.
  return static_cast<float>(Round3(static_cast<float>(parsed)));
}

}  // namespace

JobParameters MakeJobParameters(const FieldTexts& texts, ShapeKind shape, bool fill) {
  JobParameters job;
  job.CenterX = ParseRounded(texts.CenterXText, "Position Center X");
  job.CenterY = ParseRounded(texts.CenterYText, "Position Center Y");
  job.Width = ParseRounded(texts.WidthText, "Width");
  job.Height = ParseRounded(texts.HeightText, "Height");
  job.CornerRadius = ParseRounded(texts.RadiusText, "Radius");
  job.ToolRadius = ParseRounded32(texts.ToolRadiusText, "Tool Radius");
  job.Depth = ParseRounded32(texts.DepthText, "Depth");
  job.ShapeKind = shape;
  job.Fill = fill;
  return job;
}

}  // namespace quorrel
