#pragma once

#include "gcode/job/job_parameters.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// The toolpath of a rectangle whose corners are quarter circles of radius CornerRadius, outline
/// or Fill. A corner is cut as an arc when the corner radius exceeds the path's inset, square
/// otherwise. A Fill's rings lie `spacing` apart, at most kLargestSquareStepover. Raises
/// ArithmeticFault where a number cannot be computed, and JobRefused, before the first move, for
/// a job that cannot be cut.
void MakeRoundedRectangleToolpath(const JobParameters& job, const RingSpacing& spacing,
                                  ToolpathSink& sink);

/// Whether the outline follows the rounded corners on arcs: the tool is smaller than they are.
/// Otherwise it is the plain rectangle at inset Tool Radius.
bool OutlineFollowsCorners(const JobParameters& job);

}  // namespace quorrel
