#pragma once

#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// The toolpath of the job's shape, made by that shape's generator. `decimalSeparator` is the
/// user's locale's, for the one number a title quotes. A Fill's rings lie `spacing` apart.
void MakeShapeToolpath(const JobParameters& job, const FieldTexts& texts,
                       std::string_view decimalSeparator, ToolpathSink& sink,
                       const RingSpacing& spacing = {});

}  // namespace quorrel
