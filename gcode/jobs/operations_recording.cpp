#include "gcode/jobs/operations_recording.h"

#include <utility>

#include "gcode/jobs/job_program.h"

namespace quorrel {

OperationsRecording::OperationsRecording(const Job& job, bool keepsMoves)
    : job_(job), estimate_(job.operations.front().request.machine) {
  if (keepsMoves) heard_.push_back(&moves_);
  heard_.push_back(&estimate_);
}

ProgramObservers OperationsRecording::Observers(ProgramNotice notice) {
  ProgramObservers observers;
  observers.notice = std::move(notice);
  observers.moves = heard_;
  observers.operationStarts = [this](std::size_t, const MachineSettings& settings,
                                     std::optional<int> tool) {
    firstMoves_.push_back(moves_.moves().size());
    estimate_.StartOperation(settings, tool.has_value());
  };
  return observers;
}

void OperationsRecording::Make(const std::vector<CheckedJob>& checked, ProgramNotice notice) {
  MakeOperationsToolpath(job_, checked, Observers(std::move(notice)));
}

PreviewContext OperationsRecording::Context(const std::vector<CheckedJob>& checked) {
  PreviewContext context = PreviewContextOf(checked.front());
  context.title = JobTitle(job_);
  context.job.reset();
  context.toolRadius.reset();
  context.tabs.clear();
  context.tabBases.clear();
  for (std::size_t i = 0; i < job_.operations.size(); ++i) {
    const PreviewContext own = PreviewContextOf(checked[i]);
    PreviewOperation operation;
    operation.firstMove = i < firstMoves_.size() ? firstMoves_[i] : 0;
    operation.tool = job_.operations[i].tool;
    operation.toolRadius = own.toolRadius.value_or(0.0);
    operation.title = OperationTitle(job_.operations[i], checked[i]);
    operation.job = *own.job;
    context.operations.push_back(std::move(operation));
  }
  context.runTime = estimate_.Finish();
  return context;
}

}  // namespace quorrel
