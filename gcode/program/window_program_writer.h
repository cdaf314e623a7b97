#pragma once

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
  ProgramWriter& writer_;
};

}  // namespace quorrel
