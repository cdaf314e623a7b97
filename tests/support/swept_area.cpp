#include "tests/support/swept_area.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorrel::testing {

double DistanceToSegment(double px, double py, const ToolPoint& from, const ToolPoint& to) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((px - from.x) * dx + (py - from.y) * dy) / length2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (from.x + t * dx), py - (from.y + t * dy));
}

double DistanceToArc(double px, double py, const ToolMove& arc) {
  const double radius = std::hypot(arc.from.x - arc.centreX, arc.from.y - arc.centreY);
  if (radius == 0.0) return std::hypot(px - arc.centreX, py - arc.centreY);
  const double start = std::atan2(arc.from.y - arc.centreY, arc.from.x - arc.centreX);
  const double end = std::atan2(arc.to.y - arc.centreY, arc.to.x - arc.centreX);
  const double point = std::atan2(py - arc.centreY, px - arc.centreX);
  const double turn = 2 * std::numbers::pi;
  double span = std::fmod(end - start + turn, turn);
  if (arc.from.x == arc.to.x && arc.from.y == arc.to.y) span = turn;
  const double along = std::fmod(point - start + turn, turn);
  if (along <= span) return std::fabs(std::hypot(px - arc.centreX, py - arc.centreY) - radius);
  return std::min(std::hypot(px - arc.from.x, py - arc.from.y),
                  std::hypot(px - arc.to.x, py - arc.to.y));
}

double DistanceToMove(double px, double py, const ToolMove& move) {
  return move.kind == MoveKind::ArcCounterClockwise ? DistanceToArc(px, py, move)
                                                    : DistanceToSegment(px, py, move.from, move.to);
}

SweptGrid::SweptGrid(double left, double bottom, double right, double top, double cellSize)
    : left_(left),
      bottom_(bottom),
      cell_(cellSize),
      columns_(std::max(1, static_cast<int>(std::ceil((right - left) / cellSize)))),
      rows_(std::max(1, static_cast<int>(std::ceil((top - bottom) / cellSize)))),
      swept_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), false) {}

void SweptGrid::Sweep(const ToolMove& move, double radius) {
  double minX = std::min(move.from.x, move.to.x);
  double maxX = std::max(move.from.x, move.to.x);
  double minY = std::min(move.from.y, move.to.y);
  double maxY = std::max(move.from.y, move.to.y);
  if (move.kind == MoveKind::ArcCounterClockwise) {
    const double r = std::hypot(move.from.x - move.centreX, move.from.y - move.centreY);
    minX = std::min(minX, move.centreX - r);
    maxX = std::max(maxX, move.centreX + r);
    minY = std::min(minY, move.centreY - r);
    maxY = std::max(maxY, move.centreY + r);
  }
  const auto column = [&](double x) {
    return std::clamp(static_cast<int>(std::floor((x - left_) / cell_)), 0, columns_ - 1);
  };
  const auto row = [&](double y) {
    return std::clamp(static_cast<int>(std::floor((y - bottom_) / cell_)), 0, rows_ - 1);
  };
  const bool arc = move.kind == MoveKind::ArcCounterClockwise;
  const double arcRadius = std::hypot(move.from.x - move.centreX, move.from.y - move.centreY);
  for (int r = row(minY - radius); r <= row(maxY + radius); ++r) {
    for (int c = column(minX - radius); c <= column(maxX + radius); ++c) {
      if (swept_[Index(c, r)]) continue;
      // Every point of an arc lies at its radius from the centre: a cheap test first.
      if (arc && std::fabs(std::hypot(cellX(c) - move.centreX, cellY(r) - move.centreY) -
                           arcRadius) > radius) {
        continue;
      }
      if (DistanceToMove(cellX(c), cellY(r), move) <= radius) swept_[Index(c, r)] = true;
    }
  }
}

}  // namespace quorrel::testing
