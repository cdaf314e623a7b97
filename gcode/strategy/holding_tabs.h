#pragma once

#include <functional>
#include <vector>

#include "gcode/strategy/tab_plan.h"
#include "gcode/toolpath/held_moves.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Leaves a plan's holding tabs standing. Wherever the cutter would cut into a tab, the tool runs
/// over it instead: up its near slope from where the cutter meets its base, along its top, and
/// down its far slope, at the plunge feed (straight up and down where the sides stand upright);
/// wherever it meets no base, it cuts as it came. A ramp that passes a tab rides over it the same
/// way, and a pass above the tabs' top is left as it is. The moves of each pass are held from its
/// first move down to the next, so that the way up to a tab can begin before it.
class HoldingTabs final : public ToolpathStage {
 public:
  HoldingTabs(ToolpathSink& next, const TabPlan& plan);

  void Move(ToolMove& move) override;
  void ClosedPathBegin() override;
  void ClosedPathEnd() override;
  void End() override;

 private:
  // Where the tool stays at the tabs' top, and how it comes up to it and down from it: a
  // stretch of the pass's walk from `from` to `to`, rising or falling along it.
  struct Rise {
    double from, to;
    double zFrom, zTo;

    /// The height at `s` along the walk, on the rise's line.
    double At(double s) const {
      return to > from ? zFrom + (zTo - zFrom) * (s - from) / (to - from) : zTo;
    }
  };

  using Stretches = std::vector<std::pair<double, double>>;

  void Flush();
  std::vector<Rise> RisesOver(const Stretches& tops, const Stretches& bases) const;
  void Refine(const Rise& rise, const std::function<Point(double)>& pointAt, int depth,
              std::vector<Rise>& into) const;
  void Emit(ToolMove move);
  void EmitAcross(const ToolMove& move, double start, const std::vector<Rise>& rises);
  void EmitDown(const ToolMove& move, double at, const std::vector<Rise>& rises);
  void GoTo(Coord z, const ToolMove& like);

  const TabPlan& plan_;
  HeldMoves held_;                      // the pass so far
  ToolPoint received_ = kUnknownPoint;  // where the last move handed in ended
  ToolPoint at_ = kUnknownPoint;        // where the last move handed on ended
};

}  // namespace quorrel
