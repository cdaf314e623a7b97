#include "gcode/jobs/job_program.h"

#include "gcode/job/job_refusal.h"
#include "gcode/jobs/operations_recording.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/program/controller_writer.h"
#include "gcode/program/program_writer.h"
#include "gcode/save/write_job.h"
#include "gcode/shapes/operation.h"
#include "gcode/shapes/program_title.h"
#include "gcode/strategy/controller_road.h"
#include "gcode/toolpath/toolpath_tee.h"

namespace quorrel {
namespace {

// "Operation 3 (bolt-circle): ", before what is wrong with it.
std::string OperationWords(const JobOperation& operation, std::size_t index) {
  return "Operation " + std::to_string(index + 1) + " (" +
         std::string(OperationOf(operation.request.shape).name) + "): ";
}

// The tool an operation changes to, where it is not the one before's.
std::optional<int> ToolChange(const Job& job, std::size_t index) {
  const int tool = job.operations[index].tool;
  if (index > 0 && job.operations[index - 1].tool == tool) return std::nullopt;
  return tool;
}

// The job's own lines: its title and set-up line, each operation's comment and tool change.
void WriteJobLines(const Job& job, const std::vector<CheckedJob>& checked, ControllerWriter& text,
                   const std::function<void(std::size_t)>& cut) {
  text.BeginJob();
  text.Title({JobTitle(job)});
  for (std::size_t i = 0; i < job.operations.size(); ++i) {
    text.StartOperation(checked[i].machine, static_cast<int>(i + 1),
                        OperationTitle(job.operations[i], checked[i]), ToolChange(job, i));
    cut(i);
  }
  text.Finish();
}

void TellOperationStarts(const Job& job, std::size_t index, const ProgramObservers& observers) {
  if (observers.operationStarts) {
    observers.operationStarts(index, job.operations[index].request.machine, ToolChange(job, index));
  }
}

}  // namespace

std::string OperationTitle(const JobOperation& operation, const CheckedJob& checked) {
  return ProgramTitleText(checked.parameters, operation.request.texts,
                          operation.request.decimalSeparator);
}

std::string JobTitle(const Job& job) {
  std::string title = "job ";
  AppendToTitle(title, job.name);
  for (std::size_t i = 0; i < job.operations.size(); ++i) {
    title += i == 0 ? ": " : ", ";
    title += OperationOf(job.operations[i].request.shape).name;
  }
  return title;
}

std::optional<SaveResult> CheckOperations(const Job& job, std::vector<CheckedJob>& checked) {
  checked.assign(job.operations.size(), CheckedJob());
  if (job.operations.empty()) {
    SaveResult empty;
    empty.outcome = SaveOutcome::Refused;
    empty.message = "The job has no operation.";
    return empty;
  }
  for (std::size_t i = 0; i < job.operations.size(); ++i) {
    const JobOperation& operation = job.operations[i];
    if (auto refused = CheckJob(operation.request, checked[i])) {
      refused->message.insert(0, OperationWords(operation, i));
      return refused;
    }
  }
  // The lines the job adds, as the controller's writer takes them, to no destination.
  try {
    ProgramWriter writer(std::make_unique<DiscardingSink>(), ProgramWriter::LineEnd::Lf);
    ControllerWriter text(checked.front().machine, writer);
    WriteJobLines(job, checked, text, [](std::size_t) {});
  } catch (const JobRefused& refused) {
    SaveResult result;
    result.outcome = SaveOutcome::Refused;
    result.message = refused.what();
    return result;
  }
  return std::nullopt;
}

void WriteOperationsProgram(const Job& job, const std::vector<CheckedJob>& checked,
                            std::unique_ptr<ByteSink> destination,
                            const ProgramObservers& observers) {
  ProgramWriter writer(std::move(destination), ProgramWriter::LineEnd::Lf);
  ControllerWriter text(checked.front().machine, writer);
  WriteJobLines(job, checked, text, [&](std::size_t i) {
    TellOperationStarts(job, i, observers);
    const CheckedJob& operation = checked[i];
    UseControllerJob(job.operations[i].request, operation, observers,
                     [&](const ToolpathSource& paths, const ControllerProgramParts& parts) {
                       if (!parts.onlookers.empty()) {
                         ToolpathTee observed(text, parts.onlookers);
                         RunControllerPasses(paths, operation.machine, parts, observed, nullptr);
                       } else {
                         RunControllerPasses(paths, operation.machine, parts, text, &text);
                       }
                     });
  });
}

void MakeOperationsToolpath(const Job& job, const std::vector<CheckedJob>& checked,
                            const ProgramObservers& observers) {
  // The first who hears the moves takes them as the writer would; the rest look on.
  const Onlookers others(observers.moves.begin() + 1, observers.moves.end());
  ToolpathTee moves(*observers.moves.front(), others);
  for (std::size_t i = 0; i < job.operations.size(); ++i) {
    TellOperationStarts(job, i, observers);
    ProgramObservers own;
    own.notice = observers.notice;
    UseControllerJob(job.operations[i].request, checked[i], own,
                     [&](const ToolpathSource& paths, const ControllerProgramParts& parts) {
                       RunControllerPasses(paths, checked[i].machine, parts, moves, nullptr);
                     });
  }
}

JobPreview DrawOperationsPreview(const Job& job) {
  std::vector<CheckedJob> checked;
  if (auto refused = CheckOperations(job, checked)) return {{}, refused->message, std::nullopt};
  OperationsRecording recording(job);
  try {
    recording.Make(checked);
  } catch (const ArithmeticFault& fault) {
    return {{}, FaultMessage(fault), std::nullopt};
  } catch (const JobRefused& refused) {
    return {{}, refused.what(), std::nullopt};
  }
  const PreviewContext context = recording.Context(checked);
  return {DrawToolpathSvg(recording.moves(), context), {}, context.runTime};
}

SaveResult SaveOperationsProgram(const Job& job, const ShowSaveDialog& askPath,
                                 const OpenDestination& open, const ProgramObservers& observers,
                                 std::vector<CheckedJob>* checkedInto) {
  std::vector<CheckedJob> own;
  std::vector<CheckedJob>& checked = checkedInto != nullptr ? *checkedInto : own;
  if (auto refused = CheckOperations(job, checked)) {
    refused->message += " Nothing was written.";
    return *refused;
  }
  return WriteToChosenPath(
      askPath, open,
      [&](std::unique_ptr<ByteSink> destination) {
        WriteOperationsProgram(job, checked, std::move(destination), observers);
      },
      [](const ArithmeticFault& fault) { return FaultMessage(fault); });
}

}  // namespace quorrel
