#pragma once

#include <vector>

#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Moves a stage holds back until it knows what to make of them (where a ramp comes down, where a
/// pass rises over a tab), with where closed paths begin and end among them.
class HeldMoves {
 public:
  struct Step {
    enum class Kind { Move, PathBegin, PathEnd } kind;
    ToolMove move;  // for a move
  };

  void Move(const ToolMove& move) { steps_.push_back({Step::Kind::Move, move}); }
  void ClosedPathBegin() { steps_.push_back({Step::Kind::PathBegin, {}}); }
  void ClosedPathEnd() { steps_.push_back({Step::Kind::PathEnd, {}}); }

  const std::vector<Step>& steps() const { return steps_; }
  /// The last move held; none where none is.
  const ToolMove* LastMove() const {
    for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
      if (step->kind == Step::Kind::Move) return &step->move;
    }
    return nullptr;
  }

  /// Hands on what is held, in order, and holds nothing more: where a closed path begins and ends
  /// to `next`, and each move to `handOn`.
  template <class HandOn>
  void Release(ToolpathSink& next, HandOn handOn) {
    std::vector<Step> steps = std::move(steps_);
    steps_.clear();
    for (Step& step : steps) {
      switch (step.kind) {
        case Step::Kind::Move:
          handOn(step.move);
          break;
        case Step::Kind::PathBegin:
          next.ClosedPathBegin();
          break;
        case Step::Kind::PathEnd:
          next.ClosedPathEnd();
          break;
      }
    }
  }

 private:
  std::vector<Step> steps_;
};

}  // namespace quorrel
