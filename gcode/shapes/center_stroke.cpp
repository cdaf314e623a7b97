#include "gcode/shapes/center_stroke.h"

namespace quorrel {

void CenterStroke::Make(PathMaker& moves) const {
  const PathPoint start = Start();
  moves.Rapid(start.x, start.y);
  moves.Plunge(rectangle_.depth);
  const PathPoint end = End();
  moves.CutXY(end.x, end.y);
}

Float64 CenterStroke::ClampIntoPath(Float64 value, Float64 low, Float64 size) const {
  // The bounds are the sums that the outline path's own lines write.
  const Float64 lowest = low + rectangle_.toolRadius;
  const Float64 highest = low + (size - rectangle_.toolRadius);
  if (lowest > highest) return value;  // the tool is wider than the pocket: nothing to clamp to
  if (value < lowest) return lowest;
  if (value > highest) return highest;
  return value;
}

CenterStroke::PathPoint CenterStroke::Start() const {
  const auto [L, B, W, H, T, D] = rectangle_;
  const Float64 reach = (ringOffset_ + T) + stepOver_;
  if (AlongX()) return {ClampIntoPath(L + (W - reach), L, W), B + H / 2.0};
  return {L + W / 2.0, ClampIntoPath(B + (H - reach), B, H)};
}

CenterStroke::PathPoint CenterStroke::End() const {
  const auto [L, B, W, H, T, D] = rectangle_;
  if (AlongX()) return {ClampIntoPath(((L + ringOffset_) + T) + stepOver_, L, W), B + H / 2.0};
  return {L + W / 2.0, ClampIntoPath(((B + ringOffset_) + T) + stepOver_, B, H)};
}

}  // namespace quorrel
