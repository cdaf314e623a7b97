#pragma once

#include <vector>

#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Runs every closed path the other way round, clockwise where the paths are made
/// counter-clockwise: its cuts in reverse order, each from its end back to its start, arcs as
/// clockwise arcs about the same centres. A path squeezed flat, which comes back to a point it
/// passed before its end, is turned loop by loop. A straight cut says both coordinates of its
/// end, as a reversed one must; moves that are not level cuts (rapids, plunges, ramps) go on as
/// they are.
class ReversedPaths final : public ToolpathStage {
 public:
  using ToolpathStage::ToolpathStage;

  void Move(ToolMove& move) override;
  void ClosedPathBegin() override;
  void ClosedPathEnd() override;

 private:
  bool inPath_ = false;
  std::vector<ToolMove> path_;
};

}  // namespace quorrel
