#include "gcode/save/job_preview.h"

#include <string_view>

#include "gcode/estimate/run_time.h"
#include "gcode/job/job_refusal.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/output/byte_sink.h"
#include "gcode/save/save_command.h"
#include "gcode/save/write_job.h"
#include "gcode/strategy/tab_plan.h"
#include "gcode/toolpath/program_unit_stages.h"
#include "gcode/toolpath/toolpath_recording.h"
#include "gcode/toolpath/toolpath_tee.h"

namespace quorrel {
namespace {

JobPreview Unwritable(std::string message) {
  return {{}, std::move(message), std::nullopt};
}

}  // namespace

PreviewContext PreviewContextOf(const CheckedJob& checked) {
  // The moves are drawn in the machine's unit, and so is everything beside them.
  const ProgramUnits units = checked.units();
  const auto inMachineUnits = [&](std::vector<ToolMove> stretch) {
    if (units.tenths()) {
      for (ToolMove& move : stretch) move = InMachineUnits(move);
    }
    return stretch;
  };
  PreviewContext context;
  context.units = units;
  if (checked.machine.dialect != Dialect::Din) {
    context.lengthUnit = checked.machine.units == Units::Inches ? "in" : "mm";
  }
  context.job = InMachineUnits(checked.parameters, units);
  context.toolRadius = context.job->ToolRadius;
  context.outside = checked.strategy.outside;
  if (const std::optional<TabPlan>& plan = checked.tabs) {
    for (std::size_t tab = 0; tab < plan->centers().size(); ++tab) {
      context.tabs.push_back(inMachineUnits(plan->Stretch(tab, TabPlan::Level::Top)));
      if (plan->sizes().angle < 90.0) {
        context.tabBases.push_back(inMachineUnits(plan->Stretch(tab, TabPlan::Level::Base)));
      }
    }
    context.tabSizes = plan->sizes();
    context.tabSizes.width = units.ToMachine(context.tabSizes.width);
    context.tabSizes.height = units.ToMachine(context.tabSizes.height);
  }
  return context;
}

JobPreview DrawJobPreview(const SaveRequest& request) {
  CheckedJob job;
  if (auto refused = CheckJob(request, job)) return Unwritable(refused->message);
  ToolpathRecording moves;
  RunTimeEstimate estimate(request.machine);
  const bool controller = request.machine.dialect != Dialect::Din;
  const Onlookers onlookers = controller ? Onlookers{&estimate} : Onlookers{};
  ToolpathTee seen(moves, onlookers);
  try {
    // A ramp that becomes a plunge is drawn as one.
    MakeJobToolpath(request, job, seen, [](const std::string&) {});
  } catch (const ArithmeticFault& fault) {
    return Unwritable(FaultMessage(fault, request.texts));
  } catch (const JobRefused& refused) {
    return Unwritable(refused.what());
  }
  PreviewContext context = PreviewContextOf(job);
  if (controller) context.runTime = estimate.Finish();
  return {DrawToolpathSvg(moves, context), {}, context.runTime};
}

MotionTime EstimateJobRunTime(const SaveRequest& request, const CheckedJob& job) {
  RunTimeEstimate estimate(request.machine);
  MakeJobToolpath(
      request, job, estimate, [](const std::string&) {}, &estimate);
  return estimate.Finish();
}

}  // namespace quorrel
