#include "gcode/toolpath/program_unit_stages.h"

#include <cmath>

#include "gcode/numbers/number_text.h"

namespace quorrel {
namespace {

// A place not known yet stays so.
Coord Tenfold(Coord c) {
  return std::isnan(c.value()) ? c : Coord::Of(c.value() * 10.0);
}

}  // namespace

ToolMove InMachineUnits(const ToolMove& move) {
  ToolMove moved = move;
  moved.from = {move.from.x.PointMovedLeft(), move.from.y.PointMovedLeft(),
                move.from.z.PointMovedLeft()};
  moved.to = {move.to.x.PointMovedLeft(), move.to.y.PointMovedLeft(), move.to.z.PointMovedLeft()};
  moved.centerX = move.centerX / 10.0;
  moved.centerY = move.centerY / 10.0;
  moved.offsetX = move.offsetX / 10.0;
  moved.offsetY = move.offsetY / 10.0;
  return moved;
}

void IntoMachineUnits::Move(ToolMove& move) {
  ToolMove moved = InMachineUnits(move);
  next().Move(moved);
}

void IntoProgramUnits::Move(ToolMove& move) {
  ToolMove moved = move;
  moved.from = {Tenfold(move.from.x), Tenfold(move.from.y), Tenfold(move.from.z)};
  moved.to = {Tenfold(move.to.x), Tenfold(move.to.y), Tenfold(move.to.z)};
  moved.centerX = move.centerX * 10.0;
  moved.centerY = move.centerY * 10.0;
  moved.offsetX = CenterOffsetValue(move.offsetX * 10.0);
  moved.offsetY = CenterOffsetValue(move.offsetY * 10.0);
  next().Move(moved);
}

}  // namespace quorrel
