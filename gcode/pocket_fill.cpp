#include "gcode/pocket_fill.h"

namespace quorrel {

Float64 CentreStroke::ClampIntoPath(Float64 value, Float64 low, Float64 size) const {
  // The bounds are the sums that the outline path's own lines write.
  const Float64 lowest = low + toolRadius_;
  const Float64 highest = low + (size - toolRadius_);
  if (lowest > highest) return value;  // the tool is wider than the pocket: nothing to clamp to
  if (value < lowest) return lowest;
  if (value > highest) return highest;
  return value;
}

PathPoint CentreStroke::Start() const {
  const Float64 reach = (ringOffset_ + toolRadius_) + stepOver_;
  if (AlongX()) {
    return {ClampIntoPath(leftX_ + (width_ - reach), leftX_, width_), bottomY_ + height_ / 2.0};
  }
  return {leftX_ + width_ / 2.0, ClampIntoPath(bottomY_ + (height_ - reach), bottomY_, height_)};
}

PathPoint CentreStroke::End() const {
  if (AlongX()) {
    return {ClampIntoPath(((leftX_ + ringOffset_) + toolRadius_) + stepOver_, leftX_, width_),
            bottomY_ + height_ / 2.0};
  }
  return {leftX_ + width_ / 2.0,
          ClampIntoPath(((bottomY_ + ringOffset_) + toolRadius_) + stepOver_, bottomY_, height_)};
}

}  // namespace quorrel
