#pragma once

#include "gcode/numbers/checked_float.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Makes a toolpath as a shape lays it out: the rapid to where it starts at the work surface, the
/// plunge to the depth, its cuts and arcs, each naming the coordinates it moves to, and the way
/// back up. Each coordinate is what a program writes of it (see Coord); one a move does not name
/// stays as it was. Which line of which program a move becomes is the writer's to say.
class PathMaker {
 public:
  explicit PathMaker(ToolpathSink& sink) : sink_(sink) {}

  /// To the start, at the work surface.
  void Rapid(Float64 x, Float64 y);
  /// Down to the depth, a 32-bit value on its own.
  void Plunge(Float32 depth);
  /// Straight cuts along X, along Y, or to a point.
  void CutX(Float64 x);
  void CutY(Float64 y);
  void CutXY(Float64 x, Float64 y);
  /// Counter-clockwise to X about a centre; Y stays.
  void ArcX(Float64 x, Float64 centerX, Float64 centerY);
  /// Counter-clockwise to a point about the centre of the arc before.
  void ArcXY(Float64 x, Float64 y);
  /// Counter-clockwise to a point about a centre.
  void ArcXY(Float64 x, Float64 y, Float64 centerX, Float64 centerY);
  /// Back up to the work surface.
  void Retract();
  /// A hole at X, Y, drilled down to the depth: the controller's drilling cycle.
  void Drill(Float64 x, Float64 y, Float32 depth);
  void ClosedPathBegin() { sink_.ClosedPathBegin(); }
  void ClosedPathEnd() { sink_.ClosedPathEnd(); }
  void End() { sink_.End(); }

 private:
  void Make(MoveKind kind, MoveRole role, std::uint8_t words, Coord x, Coord y, Coord z);
  // An arc in the plane of the move before, about the centre given.
  void Arc(std::uint8_t words, Coord x, Coord y, Float64 centerX, Float64 centerY);

  ToolpathSink& sink_;
  ToolPoint at_ = kUnknownPoint;
  double centerX_ = Coord::Unknown();
  double centerY_ = Coord::Unknown();
};

}  // namespace quorrel
