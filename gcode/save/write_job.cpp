#include "gcode/save/write_job.h"

#include <optional>

#include "gcode/program/controller_program.h"
#include "gcode/program/program_writer.h"
#include "gcode/program/window_program_writer.h"
#include "gcode/strategy/tab_plan.h"
#include "gcode/toolpath/toolpath_tee.h"

namespace quorrel {

void WriteJobProgram(const SaveRequest& request, const JobParameters& job,
                     std::unique_ptr<ByteSink> destination, const ProgramObservers& observers) {
  const auto paths = [&](ToolpathSink& sink) {
    MakeStrategyToolpath(job, request.texts, request.decimalSeparator, request.strategy, sink);
  };
  if (request.machine.dialect == Dialect::Din) {
    ProgramWriter writer(std::move(destination));
    WindowProgramWriter program(writer);
    if (observers.moves != nullptr) {
      ToolpathTee observed(program, observers.moves);
      paths(observed);
    } else {
      paths(program);
    }
    writer.Close();
    return;
  }
  const ToolpathSource finishingPath = [&](ToolpathSink& sink) {
    MakeFinishingPath(job, request.texts, request.decimalSeparator, request.strategy, sink);
  };
  ControllerProgramParts parts;
  if (request.strategy.finishAllowance) parts.finishingPath = &finishingPath;
  parts.outside = request.strategy.outside;
  parts.notice = observers.notice;
  parts.observer = observers.moves;
  std::optional<TabPlan> tabs;
  if (request.strategy.tabs.count > 0) {
    tabs.emplace(job, request.strategy, request.machine);
    parts.tabs = &*tabs;
  }
  WriteControllerProgram(paths, request.machine, parts, std::move(destination));
}

}  // namespace quorrel
