#include "gcode/strategy/controller_arcs.h"

#include "gcode/numbers/number_text.h"
#include "gcode/toolpath/move_geometry.h"

namespace quorrel {
void ArcsBetweenEnds::Move(ToolMove& move) {
  if (IsArc(move)) {
    MoveArc(move);
  } else {
    next().Move(move);
  }
}

void ArcsBetweenEnds::MoveArc(ToolMove& move) {
  if (ArcRadius(move) == 0.0) return;
  const Point center = CenterBetweenEnds(move);
  move.centerX = center.x;
  move.centerY = center.y;
  if (asWritten_) SetWrittenCenter(move);
  next().Move(move);
}

void SetWrittenCenter(ToolMove& arc) {
  arc.offsetX = CenterOffsetValue(arc.centerX - arc.from.x);
  arc.offsetY = CenterOffsetValue(arc.centerY - arc.from.y);
  arc.centerX = arc.from.x + arc.offsetX;
  arc.centerY = arc.from.y + arc.offsetY;
}

void WrittenArcCenters::Move(ToolMove& move) {
  if (IsArc(move)) SetWrittenCenter(move);
  next().Move(move);
}

}  // namespace quorrel
