#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gcode/job/program_units.h"
#include "gcode/strategy/ramp_plan.h"
#include "gcode/toolpath/held_moves.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Tells the machinist something about the program that is not a failure.
using ProgramNotice = std::function<void(const std::string& message)>;

/// Brings each pass down along its own path instead of plunging: from a plunge below the work
/// surface on, the cuts that follow are held until they are all a ramp can use, then the ramp
/// comes down along them (see PlanRamp) at the plunge feed, and they follow, as they came. A
/// path too short to ramp along is plunged, and `notice` hears so once.
class RampEntry final : public ToolpathStage {
 public:
  /// `clockwise`: the closed paths are cut clockwise, and a helix turns with them. `units`: those
  /// of the moves, for the notice.
  RampEntry(ToolpathSink& next, double angleDegrees, bool clockwise, ProgramNotice notice,
            ProgramUnits units = {});

  void Move(ToolMove& move) override;
  void ClosedPathBegin() override;
  void ClosedPathEnd() override;
  void End() override;

 private:
  void Flush();
  void WriteStep(const RampStep& step, const ToolMove& cut, double top);

  double angle_;
  bool clockwise_;
  ProgramNotice notice_;
  ProgramUnits units_;
  bool told_ = false;
  bool holding_ = false;
  ToolMove plunge_;  // the plunge the ramp replaces
  HeldMoves held_;   // the cuts after the plunge
  std::vector<ToolMove> cuts_;
  std::vector<PathCut> geometry_;  // of the cuts
  double length_ = 0.0;            // of the cuts, in the XY plane
};

}  // namespace quorrel
