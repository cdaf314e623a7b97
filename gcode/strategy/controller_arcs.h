#pragma once

#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// The arcs a controller is given. An arc of radius 0 (the tool exactly fills the hole, which the
/// plunge has cut) is left out; every other arc is about the point exactly between its two
/// written ends, nearest its centre: the window's program rounds each coordinate on its own, and
/// GRBL refuses an arc whose two radii differ by more than 0.005 mm and 0.1 %.
class ArcsBetweenEnds final : public ToolpathStage {
 public:
  /// `asWritten`: nothing stands between this stage and WrittenArcCenters, whose work it does too.
  ArcsBetweenEnds(ToolpathSink& next, bool asWritten)
      : ToolpathStage(next), asWritten_(asWritten) {}
  void Move(ToolMove& move) override;

 private:
  [[gnu::noinline]] void MoveArc(ToolMove& arc);

  bool asWritten_;
};

/// The centre of each arc as a controller's program says it, from the arc's start (I and J, to
/// four decimals where it lies between two thousandths), and the absolute centre those words
/// name: what is drawn and what is read back from the program are then one point.
class WrittenArcCenters final : public ToolpathStage {
 public:
  using ToolpathStage::ToolpathStage;
  void Move(ToolMove& move) override;
};

/// The centre of an arc as a controller's program says it: see WrittenArcCenters.
void SetWrittenCenter(ToolMove& arc);

}  // namespace quorrel
