#pragma once

#include <cstddef>
#include <vector>

#include "gcode/estimate/run_time.h"
#include "gcode/jobs/job_file.h"
#include "gcode/preview/toolpath_drawing.h"
#include "gcode/save/checked_job.h"
#include "gcode/save/program_request.h"
#include "gcode/toolpath/toolpath_recording.h"

namespace quorrel {

/// A job's program as its drawing and its run time hear it, whether the program is written or
/// only made: every move, where each operation's moves begin among them, and the estimate, which
/// takes each operation's settings and tool change as they come. Without `keepsMoves` it only
/// times the job, and its memory stays flat however long the program.
class OperationsRecording {
 public:
  explicit OperationsRecording(const Job& job, bool keepsMoves = true);
  OperationsRecording(const OperationsRecording&) = delete;
  OperationsRecording& operator=(const OperationsRecording&) = delete;

  /// Observers of WriteOperationsProgram that hand this every move and each operation's start,
  /// and `notice` what the writing notices.
  ProgramObservers Observers(ProgramNotice notice = {});
  /// Makes the checked job's moves without writing its program; raises what the making raises.
  void Make(const std::vector<CheckedJob>& checked, ProgramNotice notice = {});

  /// The moves heard, where they are kept.
  const ToolpathRecording& moves() const { return moves_; }
  /// What the drawing of the moves knows beside them, the run time with it. Once, after them.
  PreviewContext Context(const std::vector<CheckedJob>& checked);
  /// The run time alone. Once, after the moves.
  MotionTime RunTime() { return estimate_.Finish(); }

 private:
  const Job& job_;
  ToolpathRecording moves_;
  RunTimeEstimate estimate_;
  Onlookers heard_;  // the moves' recording, where kept, and the estimate
  std::vector<std::size_t> firstMoves_;
};

}  // namespace quorrel
