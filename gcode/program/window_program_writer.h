#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gcode/numbers/number_text.h"
#include "gcode/program/program_writer.h"
#include "gcode/shapes/din_layout.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Writes the window's own program from a toolpath: the title as "N10 ( … )", each move on the
/// line its place in the toolpath has in `layout` (its block number), with the words it carries
/// in the order X Y Z I J, the arc's centre absolute, and the layout's end line. Lines end with CR
/// LF. The approach of a rectangle, (-4, -4, 0) with X, Y and Z, is "N20 G0 X-4 Y-4 Z0".
class WindowProgramWriter final : public ToolpathSink {
 public:
  WindowProgramWriter(ProgramWriter& writer, const DinLayout& layout)
      : writer_(writer), layout_(layout) {}

  void Title(const ProgramTitle& title) override;
  void Move(ToolMove& move) override;
  void ClosedPathBegin() override;
  void ClosedPathEnd() override;
  void End() override;

 private:
  void Write(const ToolMove& move, std::uint16_t block);
  // The block number of a cut outside a closed path: a pocket's stroke, or the step to a ring.
  void OpenCut(const ToolMove& move);
  void WriteHeldOnceKnown();
  void WriteHeld(const DinRing& ring);
  // Writes " I… J…" for the arc's centre: again from the text of the centre before where it is
  // the same point, as every ring of a circle's Fill turns about one centre.
  [[gnu::noinline]] char* WriteCenter(char* p, double x, double y);

  ProgramWriter& writer_;
  const DinLayout& layout_;
  bool stroked_ = false;
  bool inPath_ = false;
  const DinRing* ring_ = nullptr;  // the ring being written
  std::size_t along_ = 0;          // lines of its closed path written
  // Where the layout has rings of different kinds, a ring's first moves (its step, the first
  // lines of its closed path) are held until they say which it is.
  std::array<ToolMove, 4> held_;
  std::size_t heldCount_ = 0;
  double centerX_ = Coord::Unknown();
  double centerY_ = Coord::Unknown();
  std::array<char, 4 + 2 * kMaxNumberTextLength> centerText_{};
  std::size_t centerLength_ = 0;
};

}  // namespace quorrel
