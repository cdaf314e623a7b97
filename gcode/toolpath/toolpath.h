#pragma once

#include <vector>

namespace quorrel {

/// A point of the tool centre in machine coordinates.
struct ToolPoint {
  double x;
  double y;
  double z;
};

enum class MoveKind {
  Rapid,                ///< G0
  Feed,                 ///< G1, a straight cut
  ArcCounterClockwise,  ///< G3, about its centre
};

/// One move of the tool, as a program says it.
struct ToolMove {
  MoveKind kind;
  ToolPoint from;  ///< where the move starts; NaN coordinates before the first move
  ToolPoint to;
  double centerX;  ///< the arc's absolute centre (arcs only)
  double centerY;
  int line;  ///< 1-based line of the program
};

bool IsArc(const ToolMove& move);

/// The distance from an arc's centre to its start.
double ArcRadius(const ToolMove& arc);

/// The angle an arc turns through, counter-clockwise, in radians: in (0, 2 pi], a whole turn
/// when it ends where it began; 0 for an arc of radius 0.
double ArcSweep(const ToolMove& arc);

/// The point nearest the arc's centre that lies exactly as far from its start as from its end.
/// Written ends are rounded on their own, so the centre between them can differ from the centre
/// they were computed about by a fraction of a thousandth; a controller that checks an arc's two
/// radii against each other accepts this one.
ToolPoint CenterBetweenEnds(const ToolMove& arc);

/// The length of the move's path in the XY plane.
double MoveLength(const ToolMove& move);

/// The point a fraction `t` (0 to 1) along the move's path in the XY plane.
ToolPoint PointAlong(const ToolMove& move, double t);

/// The distance from (x, y) to the move's path in the XY plane.
double DistanceToMove(double x, double y, const ToolMove& move);

/// How many closed paths the moves run: a path closes where the tool comes back to a point it
/// passed since the last path closed (the outline, or each ring of a pocket).
int CountClosedPaths(const std::vector<ToolMove>& moves);

}  // namespace quorrel
