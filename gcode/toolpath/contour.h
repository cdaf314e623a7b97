#pragma once

#include <vector>

#include "gcode/job/job_parameters.h"
#include "gcode/toolpath/move_geometry.h"

namespace quorrel {

/// The outline of the job's shape about its centre: a rectangle, a circle, or a rectangle with
/// rounded corners, all as a rectangle whose corners are arcs of `cornerRadius` (0 for the
/// rectangle, the radius itself for the circle).
struct Contour {
  double centerX, centerY, halfWidth, halfHeight, cornerRadius;

  /// Signed distance from the outline: negative inside, 0 on it, positive outside.
  double Distance(double x, double y) const;

  /// The outline moved inward by `inset` on every side (outward when negative): where the tool
  /// centre runs to cut the outline with a cutter of radius `inset`.
  Contour Inset(double inset) const;
};

/// How far a cut may come nearer the contour than the tool radius before the cutter counts as
/// crossing it: the rounding of written coordinates to thousandths.
inline constexpr double kWrittenRounding = 0.002;

/// True when a cutter of radius `toolRadius` running along the cuts reaches beyond the contour
/// anywhere, or, for an outside profile, into it.
bool CutterCrossesContour(const Contour& contour, const std::vector<ToolMove>& cuts,
                          double toolRadius, bool outside);

}  // namespace quorrel
