#pragma once

#include <optional>

#include "gcode/job/machine_settings.h"
#include "gcode/job/program_units.h"
#include "gcode/strategy/pass_depths.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Cuts a toolpath of any number of paths in passes for a controller: the source is run once for
/// each pass, and each run goes through this stage, told first which pass it is. A path's
/// approach goes up to the clearance height, across to the path's start and down to the top of
/// what is left there (the work surface in the first pass), but where the path before has left
/// the tool at its start, the tool stays down. Each path comes down from there to the pass's depth
/// by a plunge at the plunge feed (a ramp stage after this one may turn it into a ramp) and is cut
/// at that depth. A path's retract is left out: the next path's approach, or the program's end,
/// goes up. The title goes on once, at the first plunge, when the passes are known to be sound.
/// Raises JobRefused where the path's plunge, at `z` as written in `units`, does not go below the
/// work surface: a controller's program that cuts nothing.
void RequireCutBelowSurface(Coord z, ProgramUnits units);

class Passes final : public ToolpathStage {
 public:
  /// `withTitle`: the program's first passes, which bring its title; a finishing pass does not.
  Passes(ToolpathSink& next, const MachineSettings& settings, bool withTitle, ToolPoint at);

  /// Before the run of pass `pass`, counted from 1.
  void StartPass(long long pass) {
    pass_ = pass;
    part_ = Part::BetweenPaths;
  }
  /// After a later pass's plunge, in place of its cuts: they were taken as the first pass's
  /// were, and left the tool where those did, at this pass's depth.
  void CutsRepeated() {
    at_ = {firstEnd_.x, firstEnd_.y, bottom_};
    part_ = Part::BetweenPaths;
  }
  /// How many passes there are, once the first run has come down.
  long long count() const { return depths_ ? depths_->count() : 1; }
  /// Where the tool is after the last move.
  const ToolPoint& at() const { return at_; }

  void Title(const ProgramTitle& title) override;
  void Move(ToolMove& move) override;

 private:
  enum class Part { BetweenPaths, Plunge, Cuts };

  // Every move but a cut of a path: the approach, the plunge, the retract.
  [[gnu::noinline]] void Step(ToolMove& move);
  void Approach();
  void Plunge(const ToolMove& plunge);
  void Emit(ToolMove& move);
  void Travel(Coord z, std::uint8_t words, ToolPoint to);
  // A hole: after the title and the way up to the clearance height before the first, its
  // cycle's retract height and peck, and the tool back at the clearance height after it.
  void Drill(ToolMove& hole);

  const MachineSettings& settings_;
  bool withTitle_;
  std::optional<ProgramTitle> title_;
  std::optional<PassDepths> depths_;
  long long pass_ = 1;
  Part part_ = Part::BetweenPaths;
  ToolPoint start_ = kUnknownPoint;     // where the path begins
  Coord bottom_;                        // the pass's depth
  ToolPoint firstEnd_ = kUnknownPoint;  // where the first pass's cuts left the tool
  bool drilling_ = false;
  ToolPoint at_;
};

}  // namespace quorrel
