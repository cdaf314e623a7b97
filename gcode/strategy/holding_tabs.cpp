#include "gcode/strategy/holding_tabs.h"

#include <algorithm>
#include <cmath>

#include "gcode/toolpath/contour_walk.h"
#include "gcode/toolpath/move_geometry.h"

namespace quorrel {
namespace {

bool IsCut(const ToolMove& move) {
  return move.kind != MoveKind::Rapid && move.feed == MoveFeed::Cutting;
}

// The height of a move at `t` along it.
double HeightAt(const ToolMove& move, double t) {
  return move.from.z + t * (move.to.z - move.from.z);
}

// Where the tool is `t` along the move, as the program writes it.
ToolPoint PointOf(const ToolMove& move, double t, double z) {
  if (t <= 0.0) return {move.from.x, move.from.y, Coord::Of(z)};
  if (t >= 1.0) return {move.to.x, move.to.y, Coord::Of(z)};
  const Point point = PointAlong(move, t);
  return {Coord::Of(point.x), Coord::Of(point.y), Coord::Of(z)};
}

}  // namespace

HoldingTabs::HoldingTabs(ToolpathSink& next, const TabPlan& plan)
    : ToolpathStage(next), plan_(plan) {}

void HoldingTabs::Move(ToolMove& move) {
  // Each move from where the one before ended: a ramp's steps carry the ends of the cut they run
  // along, not where the step before stopped short.
  if (!std::isnan(received_.x)) move.from = received_;
  received_ = move.to;
  if (move.kind == MoveKind::Rapid) {
    Flush();
    Emit(move);
    return;
  }
  // A pass begins where the tool goes down after cutting: what came before is a whole pass.
  if (!IsCut(move)) {
    const ToolMove* last = held_.LastMove();
    if (last != nullptr && IsCut(*last)) Flush();
  }
  held_.Move(move);
}

void HoldingTabs::ClosedPathBegin() {
  held_.ClosedPathBegin();
}

void HoldingTabs::ClosedPathEnd() {
  held_.ClosedPathEnd();
}

void HoldingTabs::End() {
  Flush();
  next().End();
}

void HoldingTabs::Emit(ToolMove move) {
  if (!std::isnan(at_.x)) move.from = at_;
  at_ = move.to;
  next().Move(move);
}

// Straight up or down to `z` where the tool stands.
void HoldingTabs::GoTo(Coord z, const ToolMove& like) {
  if (at_.z == z) return;
  ToolMove vertical;
  vertical.kind = MoveKind::Feed;
  vertical.words = kWordZ;
  vertical.feed = MoveFeed::Plunging;
  vertical.from = at_;
  vertical.to = {at_.x, at_.y, z};
  vertical.line = like.line;
  Emit(vertical);
}

std::vector<HoldingTabs::Rise> HoldingTabs::RisesOver(const Stretches& tops,
                                                      const Stretches& bases) const {
  const double top = plan_.top(), bottom = plan_.bottom();
  std::vector<Rise> rises;
  for (const auto& [from, to] : bases) {
    // The tops within the base: one, but for tabs so close that their bases meet.
    double a = INFINITY, b = -INFINITY;
    for (const auto& [topFrom, topTo] : tops) {
      if (topTo >= from - kSameAlongWalk && topFrom <= to + kSameAlongWalk) {
        a = std::min(a, topFrom);
        b = std::max(b, topTo);
      }
    }
    // A base passed without its top, as by a ramp that turns there: held at the top throughout.
    if (!(a <= b)) {
      a = from;
      b = to;
    }
    a = std::max(a, from);
    b = std::min(b, to);
    if (a > from) rises.push_back({from, a, bottom, top});
    rises.push_back({a, b, top, top});
    if (to > b) rises.push_back({b, to, top, bottom});
  }
  return rises;
}

// A slope, in as many straight pieces as keep each within a hundredth of a thousandth of the
// tab's side where it bends.
void HoldingTabs::Refine(const Rise& rise, const std::function<Point(double)>& pointAt, int depth,
                         std::vector<Rise>& into) const {
  constexpr double kTrue = 1e-5;
  const double middle = (rise.from + rise.to) / 2;
  const double height = plan_.HeightUnder(pointAt(middle));
  if (depth >= 8 || std::fabs(height - rise.At(middle)) <= kTrue) {
    into.push_back(rise);
    return;
  }
  Refine({rise.from, middle, rise.zFrom, height}, pointAt, depth + 1, into);
  Refine({middle, rise.to, height, rise.zTo}, pointAt, depth + 1, into);
}

// The move from `start` along the pass's walk, kept above every rise it passes.
void HoldingTabs::EmitAcross(const ToolMove& move, double start, const std::vector<Rise>& rises) {
  const double length = MoveLength(move);
  const double end = start + length;
  const auto height = [&](double s) { return HeightAt(move, (s - start) / length); };
  // Where the move changes from one line of heights to another: the ends of rises, and where
  // the move's own descent crosses one.
  std::vector<double> breaks{start, end};
  for (const Rise& rise : rises) {
    // A rise's end below the move's own height changes nothing there.
    for (const double s : {rise.from, rise.to}) {
      if (s > start + kSameAlongWalk && s < end - kSameAlongWalk &&
          rise.At(s) > height(s) - kSameAlongWalk) {
        breaks.push_back(s);
      }
    }
    const double a = std::max(start, rise.from), b = std::min(end, rise.to);
    if (!(b > a)) continue;
    const double da = height(a) - rise.At(a);
    const double db = height(b) - rise.At(b);
    if ((da < 0.0) != (db < 0.0) && std::fabs(da - db) > 0.0) {
      breaks.push_back(a + (b - a) * da / (da - db));
    }
  }
  std::sort(breaks.begin(), breaks.end());
  for (std::size_t i = 0; i + 1 < breaks.size(); ++i) {
    const double p = breaks[i], q = breaks[i + 1];
    if (q - p <= kSameAlongWalk) continue;
    const double middle = (p + q) / 2;
    // Where the slopes of two tabs meet, the higher holds.
    auto rise = rises.end();
    for (auto r = rises.begin(); r != rises.end(); ++r) {
      if (r->from < middle && middle < r->to &&
          (rise == rises.end() || r->At(middle) > rise->At(middle))) {
        rise = r;
      }
    }
    const bool held = rise != rises.end() && rise->At(middle) > height(middle);
    const double zp = held ? rise->At(p) : height(p);
    const double zq = held ? rise->At(q) : height(q);
    ToolMove piece = move;
    piece.from = PointOf(move, (p - start) / length, zp);
    piece.to = PointOf(move, (q - start) / length, zq);
    if (piece.from.x == piece.to.x && piece.from.y == piece.to.y) {
      GoTo(piece.to.z, move);  // too short to write as a move across
      continue;
    }
    GoTo(piece.from.z, move);
    if (held) piece.feed = rise->zFrom == rise->zTo ? MoveFeed::Cutting : MoveFeed::Plunging;
    piece.words = static_cast<std::uint8_t>(move.words & ~kWordZ);
    if (piece.from.z != piece.to.z) piece.words |= kWordZ;
    if (IsArc(piece)) {
      // About the point exactly between its written ends, as every arc a controller is given.
      piece.words |= kWordsXY | kWordCenter;
      const Point center = CenterBetweenEnds(piece);
      piece.centerX = center.x;
      piece.centerY = center.y;
    }
    Emit(piece);
  }
}

// A move straight down, at `at` along the walk: no deeper than a rise there.
void HoldingTabs::EmitDown(const ToolMove& move, double at, const std::vector<Rise>& rises) {
  double z = move.to.z;
  for (const Rise& rise : rises) {
    if (rise.from < at - kSameAlongWalk && at + kSameAlongWalk < rise.to) {
      z = std::max(z, rise.At(at));
    }
  }
  ToolMove down = move;
  down.to.z = Coord::Of(z);
  if (at_.z == down.to.z && at_.x == down.to.x && at_.y == down.to.y) return;
  Emit(down);
}

void HoldingTabs::Flush() {
  // Where each move begins along the pass's walk, the stretches over a tab's top and base, and
  // how deep it goes.
  std::vector<double> starts;
  std::vector<const ToolMove*> moves;
  Stretches tops, bases;
  double walked = 0.0, bottom = INFINITY;
  for (const HeldMoves::Step& h : held_.steps()) {
    if (h.kind != HeldMoves::Step::Kind::Move) continue;
    starts.push_back(walked);
    const double length = MoveLength(h.move);
    moves.push_back(&h.move);
    bottom =
        std::min({bottom, static_cast<double>(h.move.from.z), static_cast<double>(h.move.to.z)});
    if (length > 0.0 && bottom < plan_.top()) {
      plan_.AddRaisedStretches(h.move, walked, length, TabPlan::Level::Top, tops);
      plan_.AddRaisedStretches(h.move, walked, length, TabPlan::Level::Base, bases);
    }
    walked += length;
  }
  std::vector<Rise> rises = bottom < plan_.top() ? RisesOver(tops, bases) : std::vector<Rise>();
  // A slope is written as straight lines: where the tab's side, seen from the path, bends (a
  // side of the contour meeting a corner under the cutter), as many as keep it true.
  const auto pointAt = [&](double s) {
    std::size_t k = 0;
    while (k + 1 < moves.size() && starts[k + 1] <= s) ++k;
    const double length = MoveLength(*moves[k]);
    return PointAlong(*moves[k],
                      length > 0.0 ? std::clamp((s - starts[k]) / length, 0.0, 1.0) : 0.0);
  };
  std::vector<Rise> refined;
  for (const Rise& rise : rises) {
    if (rise.zFrom == rise.zTo) {
      refined.push_back(rise);
    } else {
      Refine(rise, pointAt, 0, refined);
    }
  }
  rises = std::move(refined);
  std::size_t index = 0;
  held_.Release(next(), [&](const ToolMove& move) {
    const double start = starts[index++];
    if (rises.empty()) {
      Emit(move);
    } else if (MoveLength(move) > 0.0) {
      EmitAcross(move, start, rises);
    } else {
      EmitDown(move, start, rises);
    }
  });
}

}  // namespace quorrel
