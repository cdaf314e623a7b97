#include "gcode/strategy/ramp_entry.h"

#include "gcode/numbers/number_text.h"
#include "gcode/toolpath/move_geometry.h"

namespace quorrel {

RampEntry::RampEntry(ToolpathSink& next, double angleDegrees, bool clockwise, ProgramNotice notice,
                     ProgramUnits units)
    : ToolpathStage(next),
      angle_(angleDegrees),
      clockwise_(clockwise),
      notice_(std::move(notice)),
      units_(units) {}

void RampEntry::Move(ToolMove& move) {
  if (move.role == MoveRole::Plunge && move.to.z < 0.0) {
    // Down along the path instead, once its first cuts are known.
    holding_ = true;
    plunge_ = move;
    return;
  }
  if (!holding_) {
    next().Move(move);
    return;
  }
  held_.Move(move);
  cuts_.push_back(move);
  const std::optional<Point> center =
      IsArc(move) ? std::optional(Point{move.centerX, move.centerY}) : std::nullopt;
  geometry_.push_back({move.from, move.to, center});
  length_ += CutLength(geometry_.back());
  if (EnoughToRamp(geometry_, length_, RampRun(plunge_.from.z, plunge_.to.z, angle_))) Flush();
}

void RampEntry::ClosedPathBegin() {
  if (holding_) {
    held_.ClosedPathBegin();
  } else {
    next().ClosedPathBegin();
  }
}

void RampEntry::ClosedPathEnd() {
  if (holding_) {
    held_.ClosedPathEnd();
  } else {
    next().ClosedPathEnd();
  }
}

void RampEntry::End() {
  if (holding_) Flush();
  next().End();
}

void RampEntry::WriteStep(const RampStep& step, const ToolMove& cut, double top) {
  ToolMove down = cut;
  down.from = step.reversed ? cut.to : cut.from;
  down.to = step.reversed ? cut.from : step.end.value_or(cut.to);
  down.from.z = Coord::Of(top);
  down.to.z = Coord::Of(step.z);
  if (IsArc(cut)) {
    down.kind = step.reversed ? MoveKind::ArcClockwise : MoveKind::ArcCounterClockwise;
  }
  down.words = kWordsXY | kWordZ | (IsArc(cut) ? kWordCenter : 0);
  down.feed = MoveFeed::Plunging;
  next().Move(down);
}

// The ramp, then the cuts it ran along, cut at the pass's depth as every other cut.
void RampEntry::Flush() {
  holding_ = false;
  const double top = plunge_.from.z, bottom = plunge_.to.z;
  const std::vector<RampStep> steps =
      PlanRamp(geometry_, top, bottom, RampRun(top, bottom, angle_), clockwise_);
  double z = top;
  for (const RampStep& step : steps) {
    WriteStep(step, cuts_[step.cut], z);
    z = step.z;
  }
  if (steps.empty()) {
    if (!told_ && notice_) {
      notice_("The path that starts at X" + units_.Text(plunge_.to.x) + " Y" +
              units_.Text(plunge_.to.y) + " is too short to ramp down at " + FormatCoord(angle_) +
              " degrees; the tool plunges there.");
    }
    told_ = true;
    next().Move(plunge_);
  }
  held_.Release(next(), [this](ToolMove& cut) { next().Move(cut); });
  cuts_.clear();
  geometry_.clear();
  length_ = 0.0;
}

}  // namespace quorrel
