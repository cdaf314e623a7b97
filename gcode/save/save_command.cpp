#include "gcode/save/save_command.h"

#include "gcode/job/job_parameters.h"
#include "gcode/job/job_refusal.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/numbers/parse_field_number.h"
#include "gcode/output/output_error.h"
#include "gcode/output/program_destination.h"
#include "gcode/save/program_check.h"
#include "gcode/save/write_job.h"
#include "gcode/shapes/operation.h"
#include "gcode/strategy/tab_plan.h"

namespace quorrel {
namespace {

SaveResult ResultOf(SaveOutcome outcome, std::string message) {
  SaveResult result;
  result.outcome = outcome;
  result.message = std::move(message);
  return result;
}

// Why the holding tabs the job asks for cannot be left in it, or nothing; the plan of them is
// made once, here, for the program and its preview.
std::optional<SaveResult> TabsRefusal(CheckedJob& checked) {
  if (checked.strategy.tabs.count <= 0) return std::nullopt;
  if (checked.parameters.Fill) {
    return ResultOf(SaveOutcome::Refused, "Holding tabs " + std::string(kTabsHoldOutlines) + ".");
  }
  checked.tabs = checked.PlannedTabs();
  const std::optional<TabsProblem> problem =
      TabsProblemOf(checked.parameters, checked.strategy, checked.machine, *checked.tabs);
  if (!problem) return std::nullopt;
  const std::string_view what = problem->key == "tab-height"  ? "The tab height "
                                : problem->key == "tab-width" ? "The tab width "
                                : problem->key == "tab-angle" ? "The tab slope "
                                                              : "The holding tabs: ";
  SaveResult refused = ResultOf(SaveOutcome::Refused, std::string(what) + problem->words + ".");
  refused.setting = problem->key;
  refused.settingWords = problem->words;
  return refused;
}

}  // namespace

std::string FaultMessage(const ArithmeticFault& fault) {
  return std::string(FaultName(fault.kind())) + ": " + fault.what();
}

std::string FaultMessage(const ArithmeticFault& fault, const FieldTexts& texts) {
  std::string message = FaultMessage(fault);
  // A Tool Radius that was typed but is too small for the program's thousandths reads as 0; say
  // so, or the machinist looks at a field that does not say 0.
  if (fault.kind() == FaultKind::DivisionByZero && ParseFieldNumber(texts.ToolRadiusText) != 0.0) {
    message += " The Tool Radius \"" + texts.ToolRadiusText +
               "\" rounds to 0 at the program's 3 decimals.";
  }
  return message;
}

namespace {

// A request the operation cannot be cut by at all: the window's own program of an operation only
// a controller's program cuts, or a pocket or an outside profile of one without an outline.
std::optional<std::string> OperationRefusal(const SaveRequest& request) {
  const Operation& operation = OperationOf(request.shape);
  const std::string name(operation.name);
  if (request.machine.dialect == Dialect::Din && !operation.windowProgram()) {
    return "The din program holds the window's own shapes; a " + name +
           " is cut by a LinuxCNC or GRBL program.";
  }
  if (!operation.outlines() && (request.fill || request.strategy.outside)) {
    return "A " + name + " has no outline to " +
           (request.fill ? "clear inside as a pocket." : "cut from outside.");
  }
  return std::nullopt;
}

}  // namespace

std::optional<SaveResult> CheckJob(const SaveRequest& request, CheckedJob& checked) {
  if (auto reason = OperationRefusal(request)) return ResultOf(SaveOutcome::Refused, *reason);
  checked = CheckedJob::SettingsOf(request);
  JobParameters& job = checked.parameters;
  try {
    job = MakeJobParameters(request.texts, request.shape, request.fill,
                            checked.units().FromMachine(1.0));
  } catch (const ArithmeticFault& fault) {
    return ResultOf(SaveOutcome::ArithmeticFault, FaultMessage(fault, request.texts));
  }
  if (auto reason = RefusalReason(InMachineUnits(job, checked.units()))) {
    return ResultOf(SaveOutcome::Refused, *reason);
  }
  if (request.machine.dialect != Dialect::Din) {
    try {
      if (auto reason = ControllerRefusalReason(job, request.texts, checked.strategy,
                                                checked.machine.drill, checked.units())) {
        return ResultOf(SaveOutcome::Refused, *reason);
      }
      if (auto refused = TabsRefusal(checked)) return refused;
    } catch (const ArithmeticFault& fault) {
      return ResultOf(SaveOutcome::ArithmeticFault, FaultMessage(fault, request.texts));
    }
  }
  // What the writing would find, found before a byte is written.
  try {
    CheckProgram(request, checked);
  } catch (const ArithmeticFault& fault) {
    return ResultOf(SaveOutcome::ArithmeticFault, FaultMessage(fault, request.texts));
  } catch (const JobRefused& refused) {
    return ResultOf(SaveOutcome::Refused, refused.what());
  }
  return std::nullopt;
}

SaveResult SaveGCode(const SaveRequest& request, const ShowSaveDialog& askPath,
                     const OpenDestination& open, const ProgramObservers& observers,
                     CheckedJob* checked) {
  CheckedJob own;
  CheckedJob& job = checked != nullptr ? *checked : own;
  if (auto refused = CheckJob(request, job)) {
    refused->message += " Nothing was written.";
    return *refused;
  }

  return WriteToChosenPath(
      askPath, open,
      [&](std::unique_ptr<ByteSink> destination) {
        WriteJobProgram(request, job, std::move(destination), observers);
      },
      [&](const ArithmeticFault& fault) { return FaultMessage(fault, request.texts); });
}

SaveResult WriteToChosenPath(const ShowSaveDialog& askPath, const OpenDestination& open,
                             const std::function<void(std::unique_ptr<ByteSink>)>& write,
                             const std::function<std::string(const ArithmeticFault&)>& fault) {
  const std::string path = askPath();
  if (path.empty()) return ResultOf(SaveOutcome::Cancelled, {});

  // The program reaches its destination only once it is complete; a destination dropped on the
  // way abandons it, and stays as it was.
  try {
    write(open(path));
  } catch (const ArithmeticFault& found) {
    return ResultOf(SaveOutcome::ArithmeticFault,
                    fault(found) + " The save was stopped. " +
                        WhatTheDestinationHolds(path, kDestinationUnchanged));
  } catch (const OutputError& error) {
    return ResultOf(SaveOutcome::CannotWrite, std::string(error.what()) + " " +
                                                  WhatTheDestinationHolds(path, error.unchanged()));
  } catch (const JobRefused& refused) {
    return ResultOf(SaveOutcome::Refused, std::string(refused.what()) + " " +
                                              WhatTheDestinationHolds(path, kDestinationUnchanged));
  }
  return ResultOf(SaveOutcome::Written, {});
}

}  // namespace quorrel
