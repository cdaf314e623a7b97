#include "gcode/program/controller_arcs.h"

#include "gcode/numbers/number_text.h"
#include "gcode/toolpath/move_geometry.h"

namespace quorrel {
void ArcsBetweenEnds::Move(ToolMove& move) {
  if (!IsArc(move)) {
    next().Move(move);
    return;
  }
  if (ArcRadius(move) == 0.0) return;
  const Point center = CenterBetweenEnds(move);
  move.centerX = center.x;
  move.centerY = center.y;
  next().Move(move);
}

void WrittenArcCenters::Move(ToolMove& move) {
  if (!IsArc(move)) {
    next().Move(move);
    return;
  }
  move.offsetX = CenterOffsetValue(move.centerX - move.from.x);
  move.offsetY = CenterOffsetValue(move.centerY - move.from.y);
  move.centerX = move.from.x + move.offsetX;
  move.centerY = move.from.y + move.offsetY;
  next().Move(move);
}

}  // namespace quorrel
