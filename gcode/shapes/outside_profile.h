#pragma once

#include "gcode/job/job_parameters.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// The outline cut from outside the contour, as a part is cut out of a sheet: the tool centre runs
/// Tool Radius outside every side, on a circle of Radius + Tool Radius, or round a (rounded)
/// rectangle's corners on arcs of the corner radius plus Tool Radius about the corners' centres (a
/// plain rectangle's corners are arcs of Tool Radius about the corners themselves). The cutter's
/// edge touches the contour and never enters the shape. One closed path, counter-clockwise from the
/// start of the bottom side, or from the circle's leftmost point. Raises ArithmeticFault where a
/// number overflows.
void MakeCircleOutside(const JobParameters& job, ToolpathSink& sink);
void MakeRectangleOutside(const JobParameters& job, ToolpathSink& sink);
void MakeRoundedRectangleOutside(const JobParameters& job, ToolpathSink& sink);

}  // namespace quorrel
