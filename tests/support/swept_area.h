#pragma once

#include <vector>

#include "gcode/toolpath/move_geometry.h"

namespace quorrel::testing {

/// A grid over a rectangle of the XY plane that records which cells a round cutter swept.
class SweptGrid {
 public:
  SweptGrid(double left, double bottom, double right, double top, double cellSize);

  /// Marks every cell whose centre lies within `radius` of the move's path.
  void Sweep(const ToolMove& move, double radius);

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  double cellX(int column) const { return left_ + (column + 0.5) * cell_; }
  double cellY(int row) const { return bottom_ + (row + 0.5) * cell_; }
  bool swept(int column, int row) const { return swept_[Index(column, row)]; }

 private:
  std::size_t Index(int column, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column);
  }

  double left_, bottom_, cell_;
  int columns_, rows_;
  std::vector<bool> swept_;
};

}  // namespace quorrel::testing
