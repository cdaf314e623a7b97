#pragma once

#include <cstdint>
#include <string_view>

#include "gcode/checked_float.h"
#include "gcode/program_writer.h"
#include "gcode/rectangle_path.h"
#include "gcode/round3.h"

namespace quorrel {

/// Round3 inside a generator's checked arithmetic.
inline Float64 Round3(Float64 x) {
  return Float64(Round3(x.value()));
}

/// Fill's ring spacing: 1.5 x Tool Radius, three quarters of the cutter's diameter.
inline Float64 StepOver(Float32 toolRadius) {
  return 1.5 * toolRadius;
}

/// How many steps of `stepOver` fit in `room`, rounded as RingCount rounds. Raises
/// ArithmeticFault(DivisionByZero) in Fill's own words when the step is 0 (a Tool Radius of 0),
/// and ArithmeticFault(RingCountOverflow) beyond 32767 steps.
std::int16_t StepsWithin(Float64 room, Float64 stepOver);

/// A point of the tool centre's path.
struct PathPoint {
  Float64 x;
  Float64 y;
};

/// The straight stroke that opens a rectangular pocket, through its middle along the longer side
/// (along X when Width >= Height). Its ends lie StepOver beyond the sides of the first ring, but
/// never beyond the outline path, so that in a narrow pocket the cutter stays inside the shape.
class CentreStroke {
 public:
  CentreStroke(const RectanglePath& rectangle, Float32 ringOffset, Float64 stepOver)
      : rectangle_(rectangle), ringOffset_(ringOffset), stepOver_(stepOver) {}

  /// Rapid to the start, plunge, cut to the end; the cut's line begins with `cutBlock`
  /// ("N20 G1 X" or "N40 G1 X"). Each end is formed as its line is written, so a fault in the
  /// end leaves the lines before it.
  void Write(std::string_view cutBlock, ProgramWriter& writer) const;

 private:
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

/// The first ring's offset, or 0 (the outline path) when rounding alone took it below 0 although
/// the outline path fits the pocket (`room`, the space between the outline path and the middle,
/// is not negative): a pocket that the tool fits into is never left uncut.
inline Float32 OffsetWithinRoom(Float32 offset, Float64 room) {
  return offset < 0.0 && room >= 0.0 ? Float32(0.0F) : offset;
}

/// Runs the ring loop of a pocket: `cutRing(offset)` for the first offset and then for each
/// offset one step further out (rounded to 3 decimals), while the offset is not below 0. Since the
/// step is not rounded while the offsets are, the last offset can stop short of 0; the outline path
/// itself (offset 0) is then cut as one more ring, so the pocket always reaches its wall.
template <class CutRing>
void CutRingsOutward(Float32 firstOffset, Float64 stepOver, CutRing cutRing) {
  Float32 offset = firstOffset;
  bool cutAny = false;
  Float32 lastCut(0.0F);
  while (offset >= 0.0) {
    cutRing(offset);
    cutAny = true;
    lastCut = offset;
    offset = Narrow32(Round3(offset - stepOver));
  }
  if (cutAny && lastCut > 0.0) cutRing(Float32(0.0F));
}

}  // namespace quorrel
