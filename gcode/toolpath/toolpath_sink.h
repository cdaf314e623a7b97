#pragma once

#include <functional>
#include <string>

#include "gcode/toolpath/tool_move.h"

namespace quorrel {

/// A program's first line: the job's title, the text its comment holds. No "(" or ")", CR or LF
/// is ever in it.
struct ProgramTitle {
  std::string text;
};

/// Takes a toolpath as it is made or read: its title, its moves in order, where each closed path
/// (an outline, a ring) begins and ends, and its end.
class ToolpathSink {
 public:
  virtual ~ToolpathSink() = default;
  virtual void Title(const ProgramTitle& title) = 0;
  /// The next move. A stage may change it before it hands it on; it is the stage's until then.
  virtual void Move(ToolMove& move) = 0;
  /// The moves between ClosedPathBegin and ClosedPathEnd run once round a closed path and end
  /// where it began.
  virtual void ClosedPathBegin() {}
  virtual void ClosedPathEnd() {}
  virtual void End() = 0;
};

/// Makes the same toolpath again each time it is run: a shape's paths, or a program read.
using ToolpathSource = std::function<void(ToolpathSink& sink)>;

/// A stage over moves: takes a toolpath and hands it on, changed, to the next. This base hands
/// everything on as it comes.
class ToolpathStage : public ToolpathSink {
 public:
  explicit ToolpathStage(ToolpathSink& next) : next_(next) {}

  void Title(const ProgramTitle& title) override { next_.Title(title); }
  void Move(ToolMove& move) override { next_.Move(move); }
  void ClosedPathBegin() override { next_.ClosedPathBegin(); }
  void ClosedPathEnd() override { next_.ClosedPathEnd(); }
  void End() override { next_.End(); }

 protected:
  ToolpathSink& next() { return next_; }

 private:
  ToolpathSink& next_;
};

}  // namespace quorrel
