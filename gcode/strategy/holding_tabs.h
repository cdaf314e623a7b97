#pragma once

#include <vector>

#include "gcode/job/machine_settings.h"
#include "gcode/strategy/ramp_entry.h"
#include "gcode/strategy/tab_plan.h"
#include "gcode/toolpath/held_moves.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Leaves a plan's holding tabs standing. Wherever the cutter would cut into a tab below the
/// tab's top, the tool runs at the top instead; it goes up before the tab and down after it at
/// the plunge feed: straight up and down, or, with a ramp entry, along the path at the ramp angle
/// where there is room between two tabs for both (`notice` hears once where there is not). A
/// ramp never comes down on a tab, and a pass above the tabs' top is left as it is. The moves of
/// each pass are held from its first move down to the next, so that the way up to a tab can
/// begin before it.
class HoldingTabs final : public ToolpathStage {
 public:
  HoldingTabs(ToolpathSink& next, const TabPlan& plan, const MachineSettings& settings,
              ProgramNotice notice);

  void Move(ToolMove& move) override;
  void ClosedPathBegin() override;
  void ClosedPathEnd() override;
  void End(const ProgramEnd& end) override;

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

  void Flush();
  std::vector<Rise> RisesOver(const std::vector<std::pair<double, double>>& raised, double bottom,
                              double end);
  void Emit(ToolMove move);
  void EmitAcross(const ToolMove& move, double start, const std::vector<Rise>& rises);
  void EmitDown(const ToolMove& move, double at, const std::vector<Rise>& rises);
  void GoTo(Coord z, const ToolMove& like);

  const TabPlan& plan_;
  bool ramps_;    // the way up and down is a ramp where there is room, else straight
  double angle_;  // of a ramp, in degrees
  ProgramNotice notice_;
  bool told_ = false;
  HeldMoves held_;                      // the pass so far
  ToolPoint received_ = kUnknownPoint;  // where the last move handed in ended
  ToolPoint at_ = kUnknownPoint;        // where the last move handed on ended
};

}  // namespace quorrel
