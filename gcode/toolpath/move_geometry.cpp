#include "gcode/toolpath/move_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorrel {
namespace {

constexpr double kTurn = 2 * std::numbers::pi;

double AngleOf(double x, double y, const ToolMove& arc) {
  return std::atan2(y - arc.centerY, x - arc.centerX);
}

// The angle from `a` to `b` in the arc's own direction, in [0, 2 pi).
double TurnBetween(double a, double b, const ToolMove& arc) {
  const double turn = arc.kind == MoveKind::ArcClockwise ? a - b : b - a;
  return std::fmod(turn + 2 * kTurn, kTurn);
}

double DistanceToSegment(double x, double y, const ToolPoint& from, const ToolPoint& to) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double length2 = dx * dx + dy * dy;
  const double t =
      length2 > 0 ? std::clamp(((x - from.x) * dx + (y - from.y) * dy) / length2, 0.0, 1.0) : 0.0;
  return std::hypot(x - (from.x + t * dx), y - (from.y + t * dy));
}

double DistanceToArc(double x, double y, const ToolMove& arc) {
  const double radius = ArcRadius(arc);
  if (radius == 0.0) return std::hypot(x - arc.centerX, y - arc.centerY);
  const double along = TurnBetween(AngleOf(arc.from.x, arc.from.y, arc), AngleOf(x, y, arc), arc);
  if (along <= ArcSweep(arc)) {
    return std::fabs(std::hypot(x - arc.centerX, y - arc.centerY) - radius);
  }
  return std::min(std::hypot(x - arc.from.x, y - arc.from.y),
                  std::hypot(x - arc.to.x, y - arc.to.y));
}

}  // namespace

double ArcRadius(const ToolMove& arc) {
  return std::hypot(arc.from.x - arc.centerX, arc.from.y - arc.centerY);
}

double ArcSweep(const ToolMove& arc) {
  if (ArcRadius(arc) == 0.0) return 0.0;
  if (arc.from.x == arc.to.x && arc.from.y == arc.to.y) return kTurn;
  const double sweep =
      TurnBetween(AngleOf(arc.from.x, arc.from.y, arc), AngleOf(arc.to.x, arc.to.y, arc), arc);
  return sweep == 0.0 ? kTurn : sweep;
}

Point CenterBetweenEnds(const ToolMove& arc) {
  const double dx = arc.to.x - arc.from.x;
  const double dy = arc.to.y - arc.from.y;
  const double chord2 = dx * dx + dy * dy;
  if (chord2 == 0.0) return {arc.centerX, arc.centerY};
  // Along the chord to its perpendicular bisector.
  const double midX = (arc.from.x + arc.to.x) / 2;
  const double midY = (arc.from.y + arc.to.y) / 2;
  const double t = ((arc.centerX - midX) * dx + (arc.centerY - midY) * dy) / chord2;
  return {arc.centerX - t * dx, arc.centerY - t * dy};
}

double MoveLength(const ToolMove& move) {
  if (IsArc(move)) return ArcRadius(move) * ArcSweep(move);
  return std::hypot(move.to.x - move.from.x, move.to.y - move.from.y);
}

Point PointAlong(const ToolMove& move, double t) {
  if (!IsArc(move)) {
    return {move.from.x + t * (move.to.x - move.from.x),
            move.from.y + t * (move.to.y - move.from.y)};
  }
  const double turn = move.kind == MoveKind::ArcClockwise ? -ArcSweep(move) : ArcSweep(move);
  const double angle = AngleOf(move.from.x, move.from.y, move) + t * turn;
  const double radius = ArcRadius(move);
  return {move.centerX + radius * std::cos(angle), move.centerY + radius * std::sin(angle)};
}

double DistanceToMove(double x, double y, const ToolMove& move) {
  return IsArc(move) ? DistanceToArc(x, y, move) : DistanceToSegment(x, y, move.from, move.to);
}

bool IsLevelCut(const ToolMove& move) {
  return move.kind != MoveKind::Rapid && move.from.z == move.to.z;
}

int CountClosedPaths(const std::vector<ToolMove>& moves) {
  int paths = 0;
  std::vector<const ToolPoint*> visited;
  for (const ToolMove& move : moves) {
    if (move.kind == MoveKind::Rapid) {
      visited.clear();
      continue;
    }
    // A move down or up (a plunge, a ramp, the way over a holding tab) is no part of the path.
    if (!IsLevelCut(move) || (move.from.x == move.to.x && move.from.y == move.to.y)) continue;
    if (visited.empty()) visited.push_back(&move.from);
    const bool closes = std::any_of(visited.begin(), visited.end(), [&](const ToolPoint* p) {
      return p->x == move.to.x && p->y == move.to.y;
    });
    if (closes && visited.size() >= 2) {
      ++paths;
      visited.clear();
    }
    visited.push_back(&move.to);
  }
  return paths;
}

}  // namespace quorrel
