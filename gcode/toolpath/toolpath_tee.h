#pragma once

#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Hands a toolpath on to a sink and, where there is one, to a second that looks on (a preview),
/// and keeps where the last move left the tool.
class ToolpathTee final : public ToolpathStage {
 public:
  ToolpathTee(ToolpathSink& next, ToolpathSink* onlooker)
      : ToolpathStage(next), onlooker_(onlooker) {}

  void Title(const ProgramTitle& title) override {
    next().Title(title);
    if (onlooker_ != nullptr) onlooker_->Title(title);
  }
  void Move(ToolMove& move) override {
    next().Move(move);
    if (onlooker_ != nullptr) onlooker_->Move(move);
    at_ = move.to;
  }
  void ClosedPathBegin() override {
    next().ClosedPathBegin();
    if (onlooker_ != nullptr) onlooker_->ClosedPathBegin();
  }
  void ClosedPathEnd() override {
    next().ClosedPathEnd();
    if (onlooker_ != nullptr) onlooker_->ClosedPathEnd();
  }
  void End(const ProgramEnd& end) override {
    next().End(end);
    if (onlooker_ != nullptr) onlooker_->End(end);
  }

  const ToolPoint& at() const { return at_; }

 private:
  ToolpathSink* onlooker_;
  ToolPoint at_ = kUnknownPoint;
};

}  // namespace quorrel
