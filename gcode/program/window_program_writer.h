#pragma once

#include <array>
#include <cstddef>

#include "gcode/numbers/number_text.h"
#include "gcode/program/program_writer.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Writes the window's own program from a toolpath in its lines: the title as "N10 ( … )", each
/// move on the line of its block number with the words it carries, in the order X Y Z I J, the
/// arc's centre absolute, and the end line. Lines end with CR LF.
/// A rapid with block 20 and words X, Y, Z to (-4, -4, 0) is "N20 G0 X-4 Y-4 Z0".
class WindowProgramWriter final : public ToolpathSink {
 public:
  explicit WindowProgramWriter(ProgramWriter& writer) : writer_(writer) {}

  void Title(const ProgramTitle& title) override;
  void Move(ToolMove& move) override;
  void End(const ProgramEnd& end) override;

 private:
  // Writes " I… J…" for the arc's centre: again from the text of the centre before where it is
  // the same point, as every ring of a circle's Fill turns about one centre.
  [[gnu::noinline]] char* WriteCenter(char* p, double x, double y);

  ProgramWriter& writer_;
  double centerX_ = Coord::Unknown();
  double centerY_ = Coord::Unknown();
  std::array<char, 4 + 2 * kMaxNumberTextLength> centerText_{};
  std::size_t centerLength_ = 0;
};

}  // namespace quorrel
