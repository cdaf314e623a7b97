#include "gcode/job/job_parameters.h"

#include <string>

#include "gcode/job/field_table.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/numbers/checked_float.h"
#include "gcode/numbers/parse_field_number.h"
#include "gcode/numbers/round3.h"

namespace quorrel {
namespace {

double ParseField(const FieldTexts& texts, Field field, double scale) {
  const FieldDescription& description = DescriptionOf(field);
  try {
    const double parsed = ParseFieldNumber(texts.*description.text);
    if (scale == 1.0) return parsed;
    return CheckedResult(parsed * scale).value();
  } catch (const ArithmeticFault&) {
    throw ArithmeticFault(FaultKind::Overflow, "The " + std::string(description.caption) +
                                                   " field holds a number too large to compute "
                                                   "with (beyond about 1.8E+308).");
  }
}

double ParseRounded(const FieldTexts& texts, Field field, double scale) {
  return Round3(ParseField(texts, field, scale));
}

float ParseRounded32(const FieldTexts& texts, Field field, double scale) {
  const double parsed = ParseField(texts, field, scale);
  if (!FitsFloat32(parsed)) {
    throw ArithmeticFault(FaultKind::Overflow, "The " + std::string(DescriptionOf(field).caption) +
                                                   " field holds a number too large for it "
                                                   "(beyond about 3.4E+38).");
  }
  // The rounded value of a float never exceeds the float range, so the second narrowing is safe.
  return static_cast<float>(Round3(static_cast<float>(parsed)));
}

}  // namespace

JobParameters MakeJobParameters(const FieldTexts& texts, ShapeKind shape, bool fill, double scale) {
  JobParameters job;
  job.CenterX = ParseRounded(texts, Field::CenterX, scale);
  job.CenterY = ParseRounded(texts, Field::CenterY, scale);
  job.Width = ParseRounded(texts, Field::Width, scale);
  job.Height = ParseRounded(texts, Field::Height, scale);
  job.CornerRadius = ParseRounded(texts, Field::Radius, scale);
  job.ToolRadius = MakeToolRadius(texts, scale);
  job.Depth = ParseRounded32(texts, Field::Depth, scale);
  job.ShapeKind = shape;
  job.Fill = fill;
  job.Holes = ParseRounded(texts, Field::Holes, 1.0);
  job.StartAngle = ParseRounded(texts, Field::StartAngle, 1.0);
  job.Columns = ParseRounded(texts, Field::Columns, 1.0);
  job.Rows = ParseRounded(texts, Field::Rows, 1.0);
  return job;
}

double MakeCornerRadius(const FieldTexts& texts) {
  return ParseRounded(texts, Field::Radius, 1.0);
}

float MakeToolRadius(const FieldTexts& texts, double scale) {
  return ParseRounded32(texts, Field::ToolRadius, scale);
}

}  // namespace quorrel
