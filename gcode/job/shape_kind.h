#pragma once

namespace quorrel {

/// Which program is written: the window's three shapes, in the order of its shape options, then
/// the operations only a controller's program cuts.
enum class ShapeKind {
  Rectangle = 0,
  Circle = 1,
  RoundedRectangle = 2,
  Hole,        ///< one hole drilled
  BoltCircle,  ///< holes evenly on a circle
  HoleGrid,    ///< holes in columns and rows
  Face,        ///< the top of the stock lowered flat
};

}  // namespace quorrel
