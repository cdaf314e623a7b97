#pragma once

#include "gcode/job/job_parameters.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// The toolpath of an axis-parallel rectangle, outline or Fill. The tool centre keeps Tool Radius
/// inside every side; a Fill's rings lie `spacing` apart, from the innermost out. Raises
/// ArithmeticFault where a number cannot be computed, and JobRefused, before the first move, for a
/// job that cannot be cut.
void MakeRectangleToolpath(const JobParameters& job, const RingSpacing& spacing,
                           ToolpathSink& sink);

}  // namespace quorrel
