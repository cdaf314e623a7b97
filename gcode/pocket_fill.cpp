#include "gcode/pocket_fill.h"

#include "gcode/ring_count.h"

namespace quorrel {

std::int16_t StepsWithin(Float64 room, Float64 stepOver) {
  if (stepOver.value() == 0.0) {
    throw ArithmeticFault(FaultKind::DivisionByZero,
                          "Fill spaces its rings 1.5 x Tool Radius apart, and a Tool Radius of 0 "
                          "gives no spacing.");
  }
  return RingCount((room / stepOver).value());
}

void CentreStroke::Write(std::string_view cutBlock, ProgramWriter& writer) const {
  const PathPoint start = Start();
  writer.WriteLine(ProgramLine{"N20 G0 X", start.x, " Y", start.y, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N30 G1 Z", rectangle_.depth});
  const PathPoint end = End();
  writer.WriteLine(ProgramLine{cutBlock, end.x, " Y", end.y});
}

Float64 CentreStroke::ClampIntoPath(Float64 value, Float64 low, Float64 size) const {
  // The bounds are the sums that the outline path's own lines write.
  const Float64 lowest = low + rectangle_.toolRadius;
  const Float64 highest = low + (size - rectangle_.toolRadius);
  if (lowest > highest) return value;  // the tool is wider than the pocket: nothing to clamp to
  if (value < lowest) return lowest;
  if (value > highest) return highest;
  return value;
}

PathPoint CentreStroke::Start() const {
  const auto [L, B, W, H, T, D] = rectangle_;
  const Float64 reach = (ringOffset_ + T) + stepOver_;
  if (AlongX()) return {ClampIntoPath(L + (W - reach), L, W), B + H / 2.0};
  return {L + W / 2.0, ClampIntoPath(B + (H - reach), B, H)};
}

PathPoint CentreStroke::End() const {
  const auto [L, B, W, H, T, D] = rectangle_;
  if (AlongX()) return {ClampIntoPath(((L + ringOffset_) + T) + stepOver_, L, W), B + H / 2.0};
  return {L + W / 2.0, ClampIntoPath(((B + ringOffset_) + T) + stepOver_, B, H)};
}

}  // namespace quorrel
