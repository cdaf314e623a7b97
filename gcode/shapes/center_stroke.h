#pragma once

#include <cstdint>

#include "gcode/numbers/checked_float.h"
#include "gcode/shapes/rectangle_path.h"
#include "gcode/toolpath/path_maker.h"

namespace quorrel {

/// The straight stroke that opens a rectangular pocket, through its middle along the longer side
/// (along X when Width >= Height). Its ends lie StepOver beyond the sides of the first ring, but
/// never beyond the outline path, so that in a narrow pocket the cutter stays inside the shape.
class CenterStroke {
 public:
  CenterStroke(const RectanglePath& rectangle, Float32 ringOffset, Float64 stepOver)
      : rectangle_(rectangle), ringOffset_(ringOffset), stepOver_(stepOver) {}

  /// Rapid to the start, plunge, cut to the end. Raises ArithmeticFault where an end cannot be
  /// computed.
  void Make(PathMaker& moves) const;

 private:
  struct PathPoint {
    Float64 x;
    Float64 y;
  };

  // StepOver inside the first ring's far side (right, or top).
  PathPoint Start() const;
  // StepOver inside the first ring's near side (left, or bottom).
  PathPoint End() const;
  bool AlongX() const { return rectangle_.width >= rectangle_.height; }
  Float64 ClampIntoPath(Float64 value, Float64 low, Float64 size) const;

  RectanglePath rectangle_;
  Float32 ringOffset_;
  Float64 stepOver_;
};

}  // namespace quorrel
