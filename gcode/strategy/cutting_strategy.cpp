#include "gcode/strategy/cutting_strategy.h"

#include <algorithm>

#include "gcode/job/field_table.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/numbers/checked_float.h"
#include "gcode/numbers/number_text.h"
#include "gcode/numbers/ordinary_number.h"
#include "gcode/shapes/operation.h"
#include "gcode/toolpath/contour.h"
#include "gcode/toolpath/toolpath_recording.h"

namespace quorrel {
namespace {

// The job's paths, after its title: the outline on its side of the contour, or the Fill with
// its spacing.
void MakePaths(const JobParameters& job, const FieldTexts& texts, std::string_view decimalSeparator,
               const CuttingStrategy& strategy, const RingSpacing& spacing, ToolpathSink& sink) {
  const Operation& operation = OperationOf(job.ShapeKind);
  sink.Title({operation.title(texts, decimalSeparator)});
  if (strategy.outside) {
    operation.makeOutside(job, sink);
  } else {
    operation.make(job, {spacing, strategy.oneWay}, sink);
  }
}

}  // namespace

CuttingStrategy InProgramUnits(const CuttingStrategy& strategy, ProgramUnits units) {
  CuttingStrategy scaled = strategy;
  if (strategy.finishAllowance) {
    scaled.finishAllowance = units.FromMachine(*strategy.finishAllowance);
  }
  if (strategy.tabs.width) scaled.tabs.width = units.FromMachine(*strategy.tabs.width);
  if (strategy.tabs.height) scaled.tabs.height = units.FromMachine(*strategy.tabs.height);
  return scaled;
}

JobParameters RoughingJob(const JobParameters& job, double allowance) {
  JobParameters roughing = job;
  roughing.ToolRadius =
      Narrow32(Round3(Float64(Float32(job.ToolRadius)) + Float64(allowance))).value();
  return roughing;
}

std::optional<std::string> AllowanceProblem(const JobParameters& job,
                                            const CuttingStrategy& strategy, ProgramUnits units) {
  if (!strategy.finishAllowance || strategy.outside) return std::nullopt;
  const double allowance = *strategy.finishAllowance;
  const double reach = RoughingJob(job, allowance).ToolRadius;
  const bool circle = job.ShapeKind == ShapeKind::Circle;
  const double room = circle ? job.CornerRadius : std::min(job.Width, job.Height) / 2.0;
  if (reach >= room) {
    return "leaves no room for the tool: the paths keep Tool Radius and allowance, " +
           units.Text(reach) + ", from the wall, and " +
           (circle ? "the circle's radius" : "half the shorter side") + " is " + units.Text(room);
  }
  const RingSpacing spacing{strategy.stepover, job.ToolRadius};
  const double step = spacing.StepFor(Float32(job.ToolRadius), !circle).value();
  if (job.Fill && allowance > step) {
    return "leaves more than one pass along the wall can cut: a Fill may leave at most its ring "
           "spacing, " +
           units.Text(step) + ", on the walls";
  }
  return std::nullopt;
}

std::optional<std::string> ControllerRefusalReason(const JobParameters& job,
                                                   const FieldTexts& texts,
                                                   const CuttingStrategy& strategy,
                                                   const DrillSettings& drill, ProgramUnits units) {
  const Operation& operation = OperationOf(job.ShapeKind);
  for (const FieldDescription& field : kJobFields) {
    const std::string& text = texts.*field.text;
    if (operation.UsesField(field.field) && !OrdinaryNumber(text)) {
      return "The " + std::string(field.caption) + " \"" + text +
             "\" is not a number: a controller's program is cut from ordinary numbers, with "
             "\".\" as the point.";
    }
  }
  if (strategy.outside && job.Fill) {
    return "A" + std::string(kFillIsInside.substr(1)) +
           "; cut outside it, the job is an outline. "
           "Untick Fill, or cut inside the contour.";
  }
  if (!(job.Depth < 0.0F)) {
    return "The Depth is " + units.Text(job.Depth) +
           ": a controller's program cuts below the work surface (Z 0), so give a negative "
           "Depth.";
  }
  if (job.ToolRadius < 0.0F) {
    return "The Tool Radius is " + units.Text(job.ToolRadius) + ": a cutter's radius is 0 or more.";
  }
  if (!operation.outlines()) {
    return operation.problem(job, {RingSpacing{strategy.stepover, std::nullopt}, strategy.oneWay},
                             drill, units);
  }
  if (auto problem = AllowanceProblem(job, strategy, units)) {
    return "The finishing allowance " + *problem + ".";
  }
  // Every other path lies between the wall path and the middle of the shape.
  ToolpathRecording wall;
  MakeFinishingPath(job, texts, ".", strategy, wall);
  const std::vector<ToolMove> cuts(wall.moves().begin() + 2, wall.moves().end() - 1);
  if (!CutterCrossesContour(ContourOf(job), cuts, job.ToolRadius, strategy.outside)) {
    return std::nullopt;
  }
  if (strategy.outside) {
    return "The cutter would enter the shape it cuts out: give the shape sizes above 0.";
  }
  const double halfShortSide = std::min(job.Width, job.Height) / 2.0;
  if (job.ShapeKind == ShapeKind::RoundedRectangle && job.CornerRadius > halfShortSide) {
    return "The Radius " + units.Text(job.CornerRadius) + " is more than half the shorter side (" +
           units.Text(halfShortSide) +
           "): the rounded corners would cross and the cutter leave the contour. Give a smaller "
           "Radius.";
  }
  return "The tool does not fit inside the shape: with a Tool Radius of " +
         units.Text(job.ToolRadius) +
         " the cutter would leave the contour. Give a smaller Tool Radius or a larger shape.";
}

void MakeStrategyToolpath(const JobParameters& job, const FieldTexts& texts,
                          std::string_view decimalSeparator, const CuttingStrategy& strategy,
                          ToolpathSink& sink) {
  RingSpacing spacing{strategy.stepover, std::nullopt};
  if (!strategy.finishAllowance) {
    MakePaths(job, texts, decimalSeparator, strategy, spacing, sink);
    return;
  }
  // The rings are still spaced for the cutter that cuts them, not for the larger reach.
  spacing.cutterRadius = job.ToolRadius;
  MakePaths(RoughingJob(job, *strategy.finishAllowance), texts, decimalSeparator, strategy, spacing,
            sink);
}

const DinLayout& DinLayoutOf(const JobParameters& job, const CuttingStrategy& strategy) {
  const JobParameters made =
      strategy.finishAllowance ? RoughingJob(job, *strategy.finishAllowance) : job;
  return OperationOf(made.ShapeKind).dinLayout(made, strategy.outside);
}

const DinLayout& FinishingDinLayoutOf(const JobParameters& job, const CuttingStrategy& strategy) {
  JobParameters wall = job;
  wall.Fill = false;
  return OperationOf(wall.ShapeKind).dinLayout(wall, strategy.outside);
}

void MakeFinishingPath(const JobParameters& job, const FieldTexts& texts,
                       std::string_view decimalSeparator, const CuttingStrategy& strategy,
                       ToolpathSink& sink) {
  JobParameters wall = job;
  wall.Fill = false;
  MakePaths(wall, texts, decimalSeparator, strategy, {}, sink);
}

}  // namespace quorrel
