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

  /// The plan of the holding tabs the request asks for in the job, unchecked: a controller's
  /// outline with a count of tabs has one, anything else none.
  static std::optional<TabPlan> TabsOf(const SaveRequest& request,
                                       const JobParameters& parameters) {
    if (request.machine.dialect == Dialect::Din || request.strategy.tabs.count <= 0 ||
        parameters.Fill) {
      return std::nullopt;
    }
    return TabPlan(parameters, request.strategy, request.machine);
  }

  /// The job of `parameters` with the tabs its request asks for, unchecked.
  static CheckedJob Of(const SaveRequest& request, const JobParameters& parameters) {
    return {parameters, TabsOf(request, parameters)};
  }
};

}  // namespace quorrel
