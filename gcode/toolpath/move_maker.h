#pragma once

#include <cstdint>
#include <string>

#include "gcode/numbers/checked_float.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Makes a toolpath in the lines of the window's program: each call is one line, with its block
/// number and the words it writes, and becomes one move from where the line before left the tool.
/// A coordinate is what the line writes (see Coord); one the line leaves out stays as it was.
class MoveMaker {
 public:
  explicit MoveMaker(ToolpathSink& sink) : sink_(sink) {}

  void Title(std::string text) { sink_.Title({std::move(text)}); }
  /// "G0 X… Y… Z0": to the start, at the work surface.
  void Rapid(std::uint16_t block, Float64 x, Float64 y);
  /// "G1 Z…": down to the depth, a 32-bit value written on its own.
  void Plunge(std::uint16_t block, Float32 depth);
  /// "G1 X…", "G1 Y…" and "G1 X… Y…".
  void CutX(std::uint16_t block, Float64 x);
  void CutY(std::uint16_t block, Float64 y);
  void CutXY(std::uint16_t block, Float64 x, Float64 y);
  /// "G3 X… I… J…": counter-clockwise to X about a centre; Y stays.
  void ArcX(std::uint16_t block, Float64 x, Float64 centerX, Float64 centerY);
  /// "G3 X… Y…": about the centre of the arc before.
  void ArcXY(std::uint16_t block, Float64 x, Float64 y);
  /// "G3 X… Y… I… J…".
  void ArcXY(std::uint16_t block, Float64 x, Float64 y, Float64 centerX, Float64 centerY);
  /// "G1 Z0": back up to the work surface.
  void Retract(std::uint16_t block);
  void ClosedPathBegin() { sink_.ClosedPathBegin(); }
  void ClosedPathEnd() { sink_.ClosedPathEnd(); }
  /// "M30", after one blank or two.
  void End(std::uint16_t block, bool twoBlanks) { sink_.End({block, twoBlanks}); }

 private:
  void Make(MoveKind kind, std::uint16_t block, std::uint8_t words, Coord x, Coord y, Coord z);
  // An arc in the plane of the move before, about the centre given.
  void Arc(std::uint16_t block, std::uint8_t words, Coord x, Coord y, Float64 centerX,
           Float64 centerY);

  ToolpathSink& sink_;
  ToolPoint at_ = kUnknownPoint;
  double centerX_ = Coord::Unknown();
  double centerY_ = Coord::Unknown();
};

}  // namespace quorrel
