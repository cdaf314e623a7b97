#pragma once

#include "gcode/job/job_parameters.h"
#include "gcode/numbers/checked_float.h"
#include "gcode/toolpath/path_maker.h"

namespace quorrel {

/// What both rectangle programs are formed from: the lower-left corner of the rectangle, its
/// sides, and the tool.
struct RectanglePath {
  Float64 leftX, bottomY, width, height;
  Float32 toolRadius, depth;
};

/// LeftX = CenterX - Width / 2 and BottomY = CenterY - Height / 2, with the job's sides and tool.
RectanglePath RectanglePathOf(const JobParameters& job);

/// The plain rectangle at inset Tool Radius, a closed path: rapid to the lower-left corner,
/// plunge, then counter-clockwise round to it, retract, end. "N20" to "N90  M30".
void InsetRectangle(const RectanglePath& rectangle, PathMaker& moves);

}  // namespace quorrel
