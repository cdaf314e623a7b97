#pragma once

#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// A move made in tenths of the machine's unit, in the machine's unit.
ToolMove InMachineUnits(const ToolMove& move);

/// Hands on moves made in tenths of the machine's unit (see ProgramUnits) in the machine's unit:
/// each coordinate the text it is written with, its point one place further left. What comes
/// after, the program's text, a preview, a program read back, knows lengths as the machinist
/// does. Each move is handed on as a copy: what the stages before keep of it stays theirs.
class IntoMachineUnits final : public ToolpathStage {
 public:
  using ToolpathStage::ToolpathStage;
  void Move(ToolMove& move) override;
};

/// The other way: moves of the machine's unit, read from a program, in tenths of it, to be cut
/// as a program made in them.
class IntoProgramUnits final : public ToolpathStage {
 public:
  using ToolpathStage::ToolpathStage;
  void Move(ToolMove& move) override;
};

}  // namespace quorrel
