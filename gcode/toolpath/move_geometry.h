#pragma once

#include <vector>

#include "gcode/toolpath/tool_move.h"

namespace quorrel {

/// A point as geometry finds it, not rounded to what a program writes.
struct Point {
  double x;
  double y;
};

/// The distance from an arc's centre to its start.
double ArcRadius(const ToolMove& arc);

/// The angle an arc turns through, in its own direction, in radians: in (0, 2 pi], a whole turn
/// when it ends where it began; 0 for an arc of radius 0.
double ArcSweep(const ToolMove& arc);

/// The point nearest the arc's centre that lies exactly as far from its start as from its end.
/// Written ends are rounded on their own, so the centre between them can differ from the centre
/// they were computed about by a fraction of a thousandth; a controller that checks an arc's two
/// radii against each other accepts this one.
Point CenterBetweenEnds(const ToolMove& arc);

/// The length of the move's path in the XY plane.
double MoveLength(const ToolMove& move);

/// The point a fraction `t` (0 to 1) along the move's path in the XY plane.
Point PointAlong(const ToolMove& move, double t);

/// The distance from (x, y) to the move's path in the XY plane.
double DistanceToMove(double x, double y, const ToolMove& move);

/// Whether the move stays at one height and moves across: a cut, not a move down or up.
bool IsLevelCut(const ToolMove& move);

/// How many closed paths the level cuts run: a path closes where the tool comes back to a point
/// it passed since the last path closed (the outline, or each ring of a pocket); a move at the
/// rapid rate begins the search afresh, and moves down or up are passed over.
int CountClosedPaths(const std::vector<ToolMove>& moves);

}  // namespace quorrel
