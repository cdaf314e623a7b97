#pragma once

#include <string>
#include <vector>

#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Keeps a toolpath's title and moves, for those who look at the whole of it: a drawing, a check.
class ToolpathRecording final : public ToolpathSink {
 public:
  void Title(const ProgramTitle& title) override { title_ = title.text; }
  void Move(ToolMove& move) override { moves_.push_back(move); }
  void End() override { ended_ = true; }

  const std::string& title() const { return title_; }
  const std::vector<ToolMove>& moves() const { return moves_; }
  /// Whether the toolpath came to its end.
  bool ended() const { return ended_; }

 private:
  std::string title_;
  std::vector<ToolMove> moves_;
  bool ended_ = false;
};

}  // namespace quorrel
