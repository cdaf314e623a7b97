#pragma once

#include "gcode/job/job_parameters.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// The toolpath of a circle of radius CornerRadius, outline or Fill. Every circle is two
/// counter-clockwise half arcs from its leftmost point, the first naming the centre. A Fill's rings
/// lie `spacing` apart, from the innermost out. Raises ArithmeticFault where a number cannot be
/// computed, and JobRefused, before the first move, for a job that cannot be cut.
void MakeCircleToolpath(const JobParameters& job, const RingSpacing& spacing, ToolpathSink& sink);

}  // namespace quorrel
