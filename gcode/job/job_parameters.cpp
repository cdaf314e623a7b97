#include "gcode/job/job_parameters.h"

#include <string>

#include "gcode/job/field_table.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/numbers/checked_float.h"
#include "gcode/numbers/parse_field_number.h"
#include "gcode/numbers/round3.h"

namespace quorrel {
namespace {

double ParseField(const FieldTexts& texts, Field field) {
  const FieldDescription& description = DescriptionOf(field);
  try {
    return ParseFieldNumber(texts.*description.text);
  } catch (const ArithmeticFault&) {
    throw ArithmeticFault(FaultKind::Overflow, "The " + std::string(description.caption) +
                                                   " field holds a number too large to compute "
                                                   "with (beyond about 1.8E+308).");
  }
}

double ParseRounded(const FieldTexts& texts, Field field) {
  return Round3(ParseField(texts, field));
}

float ParseRounded32(const FieldTexts& texts, Field field) {
  const double parsed = ParseField(texts, field);
  if (!FitsFloat32(parsed)) {
    throw ArithmeticFault(FaultKind::Overflow, "The " + std::string(DescriptionOf(field).caption) +
                                                   " field holds a number too large for it "
                                                   "(beyond about 3.4E+38).");
  }
  // The rounded value of a float never exceeds the float range, so the second narrowing is safe.
  return static_cast<float>(Round3(static_cast<float>(parsed)));
}

}  // namespace

JobParameters MakeJobParameters(const FieldTexts& texts, ShapeKind shape, bool fill) {
  JobParameters job;
  job.CenterX = ParseRounded(texts, Field::CenterX);
  job.CenterY = ParseRounded(texts, Field::CenterY);
  job.Width = ParseRounded(texts, Field::Width);
  job.Height = ParseRounded(texts, Field::Height);
  job.CornerRadius = ParseRounded(texts, Field::Radius);
  job.ToolRadius = MakeToolRadius(texts);
  job.Depth = ParseRounded32(texts, Field::Depth);
  job.ShapeKind = shape;
  job.Fill = fill;
  return job;
}

float MakeToolRadius(const FieldTexts& texts) {
  return ParseRounded32(texts, Field::ToolRadius);
}

}  // namespace quorrel
