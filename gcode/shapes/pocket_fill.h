#pragma once

#include <cstdint>
#include <optional>

#include "gcode/numbers/checked_float.h"
#include "gcode/shapes/rectangle_path.h"

namespace quorrel {

/// How far apart Fill's rings lie, as a percentage of the cutter's diameter: three quarters in
/// every program the window saves.
inline constexpr double kWindowStepover = 75.0;

/// The widest spacing of rings with square corners. Between the corners of two such rings, a
/// point on the corner's diagonal lies (2 - sqrt 2) x spacing from both, which must not exceed
/// Tool Radius: 85.36 % of the diameter at most, less a margin for the program's thousandths.
inline constexpr double kLargestSquareStepover = 85.0;

/// Fill's ring spacing: `percent` of the cutter's diameter, 1.5 x Tool Radius at 75.
inline Float64 StepOver(Float32 toolRadius, double percent = kWindowStepover) {
  return Float64(percent / 50.0) * toolRadius;
}

/// How far apart a Fill's rings lie: `percent` of the diameter of the cutter that cuts them. The
/// cutter is the job's Tool Radius, unless the paths keep an allowance from the wall and are
/// formed with a larger one.
struct RingSpacing {
  double percent = kWindowStepover;
  std::optional<float> cutterRadius;

  /// The percentage used: rings with square corners are spaced at most kLargestSquareStepover
  /// apart.
  double PercentFor(bool squareCorners) const {
    return squareCorners && percent > kLargestSquareStepover ? kLargestSquareStepover : percent;
  }
  /// The step between rings formed with `pathToolRadius`.
  Float64 StepFor(Float32 pathToolRadius, bool squareCorners) const {
    return StepOver(cutterRadius ? Float32(*cutterRadius) : pathToolRadius,
                    PercentFor(squareCorners));
  }
};

/// Each ring's inset from the contour: its offset inside the outline path plus Tool Radius,
/// held in 32 bits.
inline Float32 RingInset(Float32 ringOffset, Float32 toolRadius) {
  return Narrow32(ringOffset + toolRadius);
}

/// The room a rectangular pocket has for rings: half the shorter side (Height when the sides are
/// equal) less Tool Radius, the distance from the outline path to the middle line.
Float64 RingRoom(const RectanglePath& rectangle);

[[noreturn]] void RaiseRingStepTooSmall();

/// How many steps of `stepOver`, `percent` of the cutter's diameter, fit in `room`, rounded as
/// RingCount rounds. Raises ArithmeticFault(DivisionByZero) in Fill's own words when the step is
/// 0 (a Tool Radius of 0), and ArithmeticFault(RingCountOverflow) beyond 32767 steps.
std::int16_t StepsWithin(Float64 room, Float64 stepOver, double percent);

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
/// The loop ends because every step moves the offset down by at least a thousandth: a step that
/// rounds away to nothing (a Tool Radius finer than the program's thousandths) would repeat one
/// ring for ever, and raises ArithmeticFault(RingStepTooSmall) instead.
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
    if (!(offset < lastCut)) RaiseRingStepTooSmall();
  }
  if (cutAny && lastCut > 0.0) cutRing(Float32(0.0F));
}

}  // namespace quorrel
