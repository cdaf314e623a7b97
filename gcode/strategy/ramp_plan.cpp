#include "gcode/strategy/ramp_plan.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorrel {
namespace {

bool StartsWithArc(std::span<const PathCut> cuts) {
  for (const PathCut& cut : cuts) {
    if (CutLength(cut) > 0.0) return cut.center.has_value();
  }
  return false;
}

bool Closes(std::span<const PathCut> cuts) {
  return !cuts.empty() && cuts.back().to.x == cuts.front().from.x &&
         cuts.back().to.y == cuts.front().from.y;
}

}  // namespace

double CutLength(const PathCut& cut) {
  if (!cut.center) return std::hypot(cut.to.x - cut.from.x, cut.to.y - cut.from.y);
  ToolMove arc;
  arc.kind = MoveKind::ArcCounterClockwise;
  arc.from = cut.from;
  arc.to = cut.to;
  arc.centerX = cut.center->x;
  arc.centerY = cut.center->y;
  return MoveLength(arc);
}

double RampRun(double top, double bottom, double angleDegrees) {
  return (top - bottom) / std::tan(angleDegrees * std::numbers::pi / 180.0);
}

bool EnoughToRamp(std::span<const PathCut> cuts, double length, double run) {
  if (cuts.size() >= kMostRampLines) return true;
  return StartsWithArc(cuts) ? Closes(cuts) && length > 0.0 : length >= run / 2;
}

std::vector<RampStep> PlanRamp(std::span<const PathCut> cuts, double top, double bottom, double run,
                               bool clockwise) {
  const bool helix = StartsWithArc(cuts) && Closes(cuts);
  std::vector<RampStep> once;
  std::vector<double> lengths;
  double length = 0.0;
  for (std::size_t k = 0; k < cuts.size(); ++k) {
    const PathCut& cut = cuts[k];
    const double cutLength = CutLength(cut);
    if (cutLength == 0.0) continue;  // down along nothing is a plunge
    if (!helix && !cut.center && length + cutLength > run / 2) {
      // A little more than asked, so that writing the end never makes the ramp steeper.
      const double t = std::min(1.0, (run / 2 - length + 0.002) / cutLength);
      std::optional<ToolPoint> end;
      double partLength = cutLength;
      if (t < 1.0) {
        end = ToolPoint{Coord::Of(cut.from.x + t * (cut.to.x - cut.from.x)),
                        Coord::Of(cut.from.y + t * (cut.to.y - cut.from.y)), cut.to.z};
        partLength = CutLength(PathCut{cut.from, *end, std::nullopt});
      }
      once.push_back({k, false, end, 0.0});
      lengths.push_back(partLength);
      length += partLength;
      break;
    }
    once.push_back({k, false, std::nullopt, 0.0});
    lengths.push_back(cutLength);
    length += cutLength;
    if (!helix && length >= run / 2) break;
  }
  if (helix && clockwise) {
    std::reverse(once.begin(), once.end());
    std::reverse(lengths.begin(), lengths.end());
    for (RampStep& step : once) step.reversed = true;
  } else if (!helix) {
    for (std::size_t k = once.size(); k-- > 0;) {
      once.push_back({once[k].cut, true, once[k].end, 0.0});
      lengths.push_back(lengths[k]);
    }
    length *= 2;
  }
  const double rounds = length > 0.0 ? std::ceil(run / length) : INFINITY;
  if (once.empty() ||
      rounds * static_cast<double>(once.size()) > static_cast<double>(kMostRampLines)) {
    return {};
  }
  std::vector<RampStep> steps;
  const double total = rounds * length;
  double along = 0.0;
  for (long long round = 1; round <= static_cast<long long>(rounds); ++round) {
    for (std::size_t k = 0; k < once.size(); ++k) {
      along += lengths[k];
      const bool last = round == static_cast<long long>(rounds) && k + 1 == once.size();
      steps.push_back(once[k]);
      steps.back().z = last ? bottom : top - (top - bottom) * (along / total);
    }
  }
  return steps;
}

}  // namespace quorrel
