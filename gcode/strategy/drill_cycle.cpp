#include "gcode/strategy/drill_cycle.h"

#include <algorithm>

namespace quorrel {
namespace {

// Makes the moves of one cycle from where the tool stands.
class CycleMoves {
 public:
  CycleMoves(const ToolMove& drill, ToolpathSink& sink)
      : at_(drill.from), line_(drill.line), sink_(sink) {}

  void Across(Coord x, Coord y) { Emit(MoveKind::Rapid, kWordsXY, {x, y, at_.z}); }
  void Rapid(double z) { Emit(MoveKind::Rapid, kWordZ, {at_.x, at_.y, Coord::Of(z)}); }
  void Feed(double z) { Emit(MoveKind::Feed, kWordZ, {at_.x, at_.y, Coord::Of(z)}); }
  void Dwell(double seconds) {
    ToolMove wait;
    wait.kind = MoveKind::Dwell;
    wait.from = wait.to = at_;
    wait.seconds = seconds;
    wait.line = line_;
    sink_.Move(wait);
  }

 private:
  void Emit(MoveKind kind, std::uint8_t words, ToolPoint to) {
    // A retract height at the clearance height: the tool is there already.
    if (to.x == at_.x && to.y == at_.y && to.z == at_.z) return;
    ToolMove move;
    move.kind = kind;
    move.role = kind == MoveKind::Feed ? MoveRole::Plunge : MoveRole::Travel;
    move.feed = MoveFeed::Plunging;
    move.words = words;
    move.from = at_;
    move.to = to;
    move.line = line_;
    at_ = to;
    sink_.Move(move);
  }

  ToolPoint at_;
  int line_;
  ToolpathSink& sink_;
};

}  // namespace

double PeckClearance(Units units) {
  return units == Units::Inches ? 0.010 : 0.254;
}

void ExpandDrill(const ToolMove& drill, Units units, ToolpathSink& sink) {
  const double start = drill.from.z;
  const double retract = drill.offsetX;
  const double peck = drill.offsetY;
  const double depth = drill.to.z;
  CycleMoves moves(drill, sink);
  moves.Across(drill.to.x, drill.to.y);
  moves.Rapid(retract);
  if (peck > 0.0) {
    const double clearance = PeckClearance(units);
    double bottom = retract;
    while (bottom > depth) {
      const double target = std::max(depth, bottom - peck);
      moves.Feed(target);
      bottom = target;
      if (bottom <= depth) break;
      if (drill.chipBreak) {
        moves.Rapid(bottom + clearance);
      } else {
        moves.Rapid(retract);
        moves.Rapid(bottom + clearance);
      }
    }
  } else {
    moves.Feed(depth);
  }
  if (drill.seconds > 0.0) moves.Dwell(drill.seconds);
  moves.Rapid(start);
}

}  // namespace quorrel
