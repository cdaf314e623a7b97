#pragma once

#include <optional>

#include "gcode/job/job_parameters.h"
#include "gcode/job/program_units.h"
#include "gcode/machines/machine.h"
#include "gcode/save/program_request.h"
#include "gcode/strategy/tab_plan.h"

namespace quorrel {

/// A job as the check of its request made it, for the writing of its program and its preview:
/// the job itself, the machine's settings as its operation takes them and the strategy, every
/// length of them in the program's units (see ProgramUnits), and where a controller's outline has
/// holding tabs, their plan, made once.
struct CheckedJob {
  JobParameters parameters;
  MachineSettings machine;
  CuttingStrategy strategy;
  std::optional<TabPlan> tabs;

  ProgramUnits units() const { return ProgramUnits::Of(machine); }

  /// The request's settings and strategy, in the program's units, with no job yet.
  static CheckedJob SettingsOf(const SaveRequest& request) {
    CheckedJob job;
    job.machine = InProgramUnits(ForOperation(request.machine, request.shape));
    job.strategy = InProgramUnits(request.strategy, job.units());
    return job;
  }

  /// The plan of the holding tabs the job asks for, unchecked: a controller's outline with a
  /// count of tabs has one, anything else none.
  std::optional<TabPlan> PlannedTabs() const {
    if (machine.dialect == Dialect::Din || strategy.tabs.count <= 0 || parameters.Fill) {
      return std::nullopt;
    }
    return TabPlan(parameters, strategy, machine);
  }

  /// The job of the request with `parameters`, in the machine's unit, and the tabs it asks for,
  /// unchecked.
  static CheckedJob Of(const SaveRequest& request, const JobParameters& parameters) {
    CheckedJob job = SettingsOf(request);
    job.parameters = InProgramUnits(parameters, job.units());
    job.tabs = job.PlannedTabs();
    return job;
  }
};

}  // namespace quorrel
