#include "gcode/strategy/controller_road.h"

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "gcode/strategy/controller_arcs.h"
#include "gcode/strategy/holding_tabs.h"
#include "gcode/strategy/passes.h"
#include "gcode/strategy/reversed_paths.h"
#include "gcode/toolpath/kept_toolpath.h"
#include "gcode/toolpath/program_unit_stages.h"

namespace quorrel {
namespace {

// The stages every pass's moves go through on their way to the program: arcs as a controller
// reads them, the ramp, the direction, the tabs, the centres as written.
class PassRoad {
 public:
  PassRoad(const MachineSettings& settings, bool clockwise, const ControllerProgramParts& parts,
           ToolpathSink& program)
      : centers_(program) {
    const ProgramNotice& notice = parts.notice;
    ToolpathSink* next = &centers_;
    if (parts.tabs != nullptr) next = &tabs_.emplace(*next, *parts.tabs);
    if (clockwise) next = &reversed_.emplace(*next);
    if (settings.entry == Entry::Ramp) {
      next =
          &ramp_.emplace(*next, settings.rampAngle, clockwise, notice, ProgramUnits::Of(settings));
    }
    // With nothing between them, the arcs are made as the controller reads them in one stage.
    if (next == &centers_) next = &program;
    arcs_.emplace(*next, next == &program);
  }

  ToolpathSink& start() { return *arcs_; }

 private:
  WrittenArcCenters centers_;
  std::optional<HoldingTabs> tabs_;
  std::optional<ReversedPaths> reversed_;
  std::optional<RampEntry> ramp_;
  std::optional<ArcsBetweenEnds> arcs_;
};

// The first two moves of a path as the window's program makes it, the rapid to its start and the
// plunge: all a later pass needs to come down, where its cuts are written again as text.
class PathStart final : public ToolpathStage {
 public:
  using ToolpathStage::ToolpathStage;
  void Move(ToolMove& move) override {
    if (kept_ < moves_.size()) moves_[kept_++] = move;
    next().Move(move);
  }
  bool whole() const { return kept_ == moves_.size(); }
  void Replay(ToolpathSink& sink) const {
    for (ToolMove move : moves_) sink.Move(move);
  }

 private:
  std::array<ToolMove, 2> moves_;
  std::size_t kept_ = 0;
};

}  // namespace

void RunControllerPasses(const ToolpathSource& paths, const MachineSettings& settings,
                         const ControllerProgramParts& parts, ToolpathSink& written,
                         RepeatableCuts* repeatable) {
  // The moves are made in the program's units, and written and seen in the machine's.
  std::optional<IntoMachineUnits> inMachineUnits;
  ToolpathSink& program =
      ProgramUnits::Of(settings).tenths() ? inMachineUnits.emplace(written) : written;
  const bool clockwise =
      parts.turnsWithDirection && CutsClockwise(settings.direction, parts.outside);
  // The passes and the finishing pass tell of the same thing once.
  ControllerProgramParts told = parts;
  if (parts.notice) {
    told.notice = [notice = parts.notice,
                   heard = std::make_shared<std::set<std::string>>()](const std::string& message) {
      if (heard->insert(message).second) notice(message);
    };
  }
  PassRoad road(settings, clockwise, told, program);
  Passes passes(road.start(), settings, true, kUnknownPoint);
  PathStart start(passes);
  // The later passes cut what the first cut: kept as it goes by, it need not be made again. Where
  // no stage puts a Z into the cuts (no ramp, no tabs), what the program makes of them is kept
  // instead (the lines written, the time they take), and taken again at every depth.
  const bool keepText = repeatable != nullptr && settings.stepDown &&
                        settings.entry == Entry::Plunge && parts.tabs == nullptr;
  if (keepText) repeatable->KeepNextCuts();
  std::optional<KeptToolpath> firstPass;
  paths(settings.stepDown && !keepText ? firstPass.emplace(start)
                                       : static_cast<ToolpathSink&>(start));
  const bool repeatText = keepText && repeatable->cutsKept() && start.whole();
  for (long long pass = 2; pass <= passes.count(); ++pass) {
    passes.StartPass(pass);
    if (repeatText) {
      start.Replay(passes);
      repeatable->RepeatCuts();
      passes.CutsRepeated();
    } else if (firstPass && firstPass->kept()) {
      firstPass->Replay(passes);
    } else if (keepText && pass == 2) {
      // Lines too many to keep: the moves are kept as this pass makes them again.
      paths(firstPass.emplace(passes));
    } else {
      paths(passes);
    }
  }
  // Where the passes leave the tool: where their last move, through every stage, ends.
  ToolPoint at = passes.at();
  if (parts.finishingPath != nullptr) {
    // Once along the wall at full depth, whatever the step-down.
    MachineSettings wholeDepth = settings;
    wholeDepth.stepDown.reset();
    PassRoad wallRoad(wholeDepth, clockwise, told, program);
    Passes wall(wallRoad.start(), wholeDepth, false, at);
    (*parts.finishingPath)(wall);
    at = wall.at();
  }
  // A drilling cycle has already brought the tool back up there.
  const Coord safe = Coord::Of(settings.safeZ);
  if (at.z == safe) return;
  ToolMove up{.kind = MoveKind::Rapid, .from = at, .to = {at.x, at.y, safe}};
  up.words = kWordZ;
  up.role = MoveRole::Travel;
  program.Move(up);
}

}  // namespace quorrel
