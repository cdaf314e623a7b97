#include "gcode/strategy/passes.h"

#include "gcode/job/job_parameters.h"
#include "gcode/job/job_refusal.h"
#include "gcode/numbers/number_text.h"

namespace quorrel {

Passes::Passes(ToolpathSink& next, const MachineSettings& settings, bool withTitle, ToolPoint at)
    : ToolpathStage(next), settings_(settings), withTitle_(withTitle), at_(at) {}

void Passes::Title(const ProgramTitle& title) {
  if (withTitle_ && pass_ == 1) title_ = title;
}

void Passes::Emit(ToolMove& move) {
  move.from = at_;
  at_ = move.to;
  next().Move(move);
}

// A rapid move at the clearance height or straight down to `z`.
void Passes::Travel(Coord z, std::uint8_t words, ToolPoint to) {
  ToolMove rapid;
  rapid.kind = MoveKind::Rapid;
  rapid.role = MoveRole::Travel;
  rapid.words = words;
  rapid.to = {to.x, to.y, z};
  Emit(rapid);
}

void RequireCutBelowSurface(Coord z, ProgramUnits units) {
  if (!(z < 0.0)) {
    throw JobRefused("The program cuts at Z " + units.Text(z.value()) +
                     ": a controller's program cuts below the work surface (Z 0).");
  }
}

void Passes::Approach() {
  // Up to the clearance height first: where the tool stands before is not known, or is down at
  // the end of the path before.
  const Coord safe = Coord::Of(settings_.safeZ);
  Travel(safe, kWordZ, at_);
  Travel(safe, kWordsXY, start_);
  Travel(Coord::Of(pass_ == 1 ? ZeroHeight : depths_->Z(pass_ - 1)), kWordZ, start_);
}

void Passes::Plunge(const ToolMove& plunge) {
  if (!depths_) {
    const ProgramUnits units = ProgramUnits::Of(settings_);
    RequireCutBelowSurface(plunge.to.z, units);
    // How many passes it takes is known, and checked, before anything is written.
    depths_.emplace(plunge.to.z, settings_.stepDown, units);
    if (title_) next().Title(*title_);
    Approach();
  }
  bottom_ = Coord::Of(depths_->Z(pass_));
  ToolMove down;
  down.kind = MoveKind::Feed;
  down.role = MoveRole::Plunge;
  down.words = kWordZ;
  down.feed = MoveFeed::Plunging;
  down.to = {start_.x, start_.y, bottom_};
  down.line = plunge.line;
  Emit(down);
}

void Passes::Move(ToolMove& move) {
  // Nearly every move is a cut of a path: it runs on from where the one before ended, at the
  // pass's depth.
  if (part_ == Part::Cuts && move.role == MoveRole::Cut) {
    move.from.z = bottom_;
    move.to.z = bottom_;
    next().Move(move);
    return;
  }
  Step(move);
}

void Passes::Step(ToolMove& move) {
  switch (move.role) {
    case MoveRole::Approach:
      start_ = move.to;
      // The program's first path comes down once its depths are known, at its plunge. Any other
      // stays down where the path before has left the tool at its start, and otherwise goes up,
      // across and down to the top of what is left there.
      if (depths_ && !(at_.x == start_.x && at_.y == start_.y)) Approach();
      part_ = Part::Plunge;
      return;
    case MoveRole::Plunge:
      Plunge(move);
      part_ = Part::Cuts;
      return;
    case MoveRole::Retract:
      // From where the cuts have left the tool; the next path's approach goes up.
      at_ = move.from;
      at_.z = bottom_;
      if (pass_ == 1) firstEnd_ = at_;
      part_ = Part::BetweenPaths;
      return;
    default:
      if (move.kind == MoveKind::Drill) return Drill(move);
      next().Move(move);
  }
}

void Passes::Drill(ToolMove& hole) {
  const ProgramUnits units = ProgramUnits::Of(settings_);
  if (!drilling_) {
    // The holes come after the title, from the clearance height.
    RequireCutBelowSurface(hole.to.z, units);
    drilling_ = true;
    if (title_) next().Title(*title_);
    const Coord safe = Coord::Of(settings_.safeZ);
    if (!(at_.z == safe)) Travel(safe, kWordZ, at_);
  }
  hole.offsetX = Coord::Of(
      settings_.drill.retractZ.value_or(units.FromMachine(DefaultRetractZ(settings_.units))));
  hole.offsetY = Coord::Of(settings_.drill.peck.value_or(0.0));
  hole.seconds = settings_.drill.dwell.value_or(0.0);
  hole.chipBreak = settings_.drill.chipBreak;
  // The cycle leaves the tool over the hole at the height it started at.
  Emit(hole);
  at_.z = Coord::Of(settings_.safeZ);
}

}  // namespace quorrel
