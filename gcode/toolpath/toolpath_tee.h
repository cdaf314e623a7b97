#pragma once

#include <vector>

#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Who looks on at a program's moves as it is written, besides its writer: a preview, a run-time
/// estimate.
using Onlookers = std::vector<ToolpathSink*>;

/// Hands a toolpath on to a sink and to each of those that look on, in their order.
class ToolpathTee final : public ToolpathStage {
 public:
  ToolpathTee(ToolpathSink& next, const Onlookers& onlookers)
      : ToolpathStage(next), onlookers_(onlookers) {}
  /// The onlookers are held by reference: they must outlive the tee.
  ToolpathTee(ToolpathSink& next, Onlookers&& onlookers) = delete;

  void Title(const ProgramTitle& title) override {
    next().Title(title);
    for (ToolpathSink* onlooker : onlookers_) onlooker->Title(title);
  }
  void Move(ToolMove& move) override {
    next().Move(move);
    for (ToolpathSink* onlooker : onlookers_) onlooker->Move(move);
  }
  void ClosedPathBegin() override {
    next().ClosedPathBegin();
    for (ToolpathSink* onlooker : onlookers_) onlooker->ClosedPathBegin();
  }
  void ClosedPathEnd() override {
    next().ClosedPathEnd();
    for (ToolpathSink* onlooker : onlookers_) onlooker->ClosedPathEnd();
  }
  void End() override {
    next().End();
    for (ToolpathSink* onlooker : onlookers_) onlooker->End();
  }

 private:
  const Onlookers& onlookers_;
};

}  // namespace quorrel
