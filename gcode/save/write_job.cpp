#include "gcode/save/write_job.h"

#include <optional>

#include "gcode/program/controller_program.h"
#include "gcode/program/program_writer.h"
#include "gcode/program/window_program_writer.h"
#include "gcode/shapes/operation.h"
#include "gcode/toolpath/toolpath_tee.h"

namespace quorrel {
namespace {

// The job's paths, handed to `din` for the window's program, or with the parts of a controller's
// program to `controller`: to be written, or to be seen as moves alone.
template <class Din, class Controller>
void RunJob(const SaveRequest& request, const CheckedJob& checked,
            const ProgramObservers& observers, Din din, Controller controller) {
  const JobParameters& job = checked.parameters;
  const auto paths = [&](ToolpathSink& sink) {
    MakeStrategyToolpath(job, request.texts, request.decimalSeparator, checked.strategy, sink);
  };
  if (checked.machine.dialect == Dialect::Din) {
    din(paths);
    return;
  }
  const ToolpathSource finishingPath = [&](ToolpathSink& sink) {
    MakeFinishingPath(job, request.texts, request.decimalSeparator, checked.strategy, sink);
  };
  ControllerProgramParts parts;
  if (checked.strategy.finishAllowance) parts.finishingPath = &finishingPath;
  parts.outside = checked.strategy.outside;
  parts.turnsWithDirection = OperationOf(job.ShapeKind).outlines();
  parts.notice = observers.notice;
  parts.onlookers = observers.moves;
  if (checked.tabs) parts.tabs = &*checked.tabs;
  controller(ToolpathSource(paths), parts);
}

}  // namespace

void WriteJobProgram(const SaveRequest& request, const JobParameters& job,
                     std::unique_ptr<ByteSink> destination, const ProgramObservers& observers) {
  WriteJobProgram(request, CheckedJob::Of(request, job), std::move(destination), observers);
}

void WriteJobProgram(const SaveRequest& request, const CheckedJob& job,
                     std::unique_ptr<ByteSink> destination, const ProgramObservers& observers) {
  RunJob(
      request, job, observers,
      [&](const auto& paths) {
        ProgramWriter writer(std::move(destination));
        WindowProgramWriter program(writer, DinLayoutOf(job.parameters, job.strategy));
        if (!observers.moves.empty()) {
          ToolpathTee observed(program, observers.moves);
          paths(observed);
        } else {
          paths(program);
        }
        writer.Close();
      },
      [&](const ToolpathSource& paths, const ControllerProgramParts& parts) {
        WriteControllerProgram(paths, job.machine, parts, std::move(destination));
      });
}

void UseControllerJob(
    const SaveRequest& request, const CheckedJob& job, const ProgramObservers& observers,
    const std::function<void(const ToolpathSource&, const ControllerProgramParts&)>& use) {
  RunJob(
      request, job, observers, [](const auto&) {},
      [&](const ToolpathSource& paths, const ControllerProgramParts& parts) { use(paths, parts); });
}

void MakeJobToolpath(const SaveRequest& request, const CheckedJob& job, ToolpathSink& moves,
                     const ProgramNotice& notice, RepeatableCuts* repeatable) {
  ProgramObservers observers;
  observers.notice = notice;
  RunJob(
      request, job, observers, [&](const auto& paths) { paths(moves); },
      [&](const ToolpathSource& paths, const ControllerProgramParts& parts) {
        RunControllerToolpath(paths, job.machine, parts, moves, repeatable);
      });
}

}  // namespace quorrel
