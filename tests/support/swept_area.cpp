#include "tests/support/swept_area.h"

#include <algorithm>
#include <cmath>

namespace quorrel::testing {

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
  if (IsArc(move)) {
    const double r = ArcRadius(move);
    minX = std::min(minX, move.centerX - r);
    maxX = std::max(maxX, move.centerX + r);
    minY = std::min(minY, move.centerY - r);
    maxY = std::max(maxY, move.centerY + r);
  }
  const auto column = [&](double x) {
    return std::clamp(static_cast<int>(std::floor((x - left_) / cell_)), 0, columns_ - 1);
  };
  const auto row = [&](double y) {
    return std::clamp(static_cast<int>(std::floor((y - bottom_) / cell_)), 0, rows_ - 1);
  };
  const bool arc = IsArc(move);
  const double arcRadius = arc ? ArcRadius(move) : 0.0;
  for (int r = row(minY - radius); r <= row(maxY + radius); ++r) {
    for (int c = column(minX - radius); c <= column(maxX + radius); ++c) {
      if (swept_[Index(c, r)]) continue;
      // Every point of an arc lies at its radius from the centre: a cheap test first.
      if (arc && std::fabs(std::hypot(cellX(c) - move.centerX, cellY(r) - move.centerY) -
                           arcRadius) > radius) {
        continue;
      }
      if (DistanceToMove(cellX(c), cellY(r), move) <= radius) swept_[Index(c, r)] = true;
    }
  }
}

}  // namespace quorrel::testing
