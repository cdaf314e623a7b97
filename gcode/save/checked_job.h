#pragma once

#include <optional>

#include "gcode/job/job_parameters.h"
#include "gcode/save/program_request.h"
#include "gcode/strategy/tab_plan.h"

namespace quorrel {

/// A job as the check of its request made it, for the writing of its program and its preview:
/// the job itself, and where a controller's outline has holding tabs, their plan, made once.
struct CheckedJob {
  JobParameters parameters;
  std::optional<TabPlan> tabs;

  /// The job of `parameters` with the tabs its request asks for, unchecked.
  static CheckedJob Of(const SaveRequest& request, const JobParameters& parameters) {
    CheckedJob checked{parameters, std::nullopt};
    if (request.machine.dialect != Dialect::Din && request.strategy.tabs.count > 0 &&
        !parameters.Fill) {
      checked.tabs.emplace(parameters, request.strategy, request.machine);
    }
    return checked;
  }
};

}  // namespace quorrel
