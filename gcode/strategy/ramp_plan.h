#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "gcode/toolpath/move_geometry.h"
#include "gcode/toolpath/tool_move.h"

namespace quorrel {

/// The most lines one ramp may take: a path too short to come down along within them (a hole the
/// size of the tool) is plunged instead, and a ramp never looks at more of a pass than that.
inline constexpr std::size_t kMostRampLines = 200;

/// A cut of a path as a ramp runs along it: its ends as written, and an arc's centre (an arc runs
/// counter-clockwise from `from` to `to`).
struct PathCut {
  ToolPoint from, to;
  std::optional<Point> center;
};

/// The cut's length in the XY plane.
double CutLength(const PathCut& cut);

/// One line of a ramp: along cut `cut` of the path, from its start to its end or back, coming
/// down to `z`. A straight cut that the ramp needs only part of is run up to `end` and back.
struct RampStep {
  std::size_t cut;
  bool reversed;
  std::optional<ToolPoint> end;
  double z;
};

/// The descent of a ramp from `top` to `bottom` no steeper than `angleDegrees`: how far along a
/// path it runs.
double RampRun(double top, double bottom, double angleDegrees);

/// True when the first cuts of a path (of `length` in all) are all a ramp can use: half the run
/// for a ramp back and forth, the whole loop of a path that begins with an arc and closes (a
/// circle), or kMostRampLines cuts.
bool EnoughToRamp(std::span<const PathCut> cuts, double length, double run);

/// How a pass comes down from `top` to `bottom` along the first cuts of its path, ending where
/// the path begins, at `bottom`, never descending more steeply than the run allows. A path that
/// begins with an arc and closes is gone round in a helix, the other way round when `clockwise`;
/// any other is run back and forth along its first cuts, the last of them cut short where the ramp
/// has gone far enough, at a point as the program writes it, so that the ramp is measured along
/// what is written. Empty when the cuts are too short to come down along in kMostRampLines lines:
/// the pass plunges instead.
std::vector<RampStep> PlanRamp(std::span<const PathCut> cuts, double top, double bottom, double run,
                               bool clockwise);

}  // namespace quorrel
