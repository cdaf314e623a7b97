#pragma once

#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// The toolpath of a rectangle whose corners are quarter circles of radius CornerRadius, outline
/// or Fill, in the window's program's lines. A corner is cut as an arc when the corner radius
/// exceeds the path's inset, square otherwise. The title quotes the corner radius with
/// `decimalSeparator`, the user's locale's. A Fill's rings lie `spacing` apart, at most
/// kLargestSquareStepover. Raises ArithmeticFault where a number cannot be computed, and
/// JobRefused, before the first move, for a job that cannot be cut.
void MakeRoundedRectangleToolpath(const JobParameters& job, const FieldTexts& texts,
                                  std::string_view decimalSeparator, ToolpathSink& sink,
                                  const RingSpacing& spacing = {});

}  // namespace quorrel
