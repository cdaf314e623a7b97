#include "gcode/cutting_strategy.h"

#include "gcode/arithmetic_fault.h"
#include "gcode/byte_sink.h"
#include "gcode/checked_float.h"
#include "gcode/number_text.h"
#include "gcode/outside_profile.h"
#include "gcode/write_program.h"

namespace quorrel {
namespace {

void WritePaths(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                std::string_view decimalSeparator, const CuttingStrategy& strategy,
                const RingSpacing& spacing) {
  if (strategy.outside) {
    WriteOutsideProfile(job, texts, writer, decimalSeparator);
  } else {
    WriteProgram(job, texts, writer, decimalSeparator, spacing);
  }
}

}  // namespace

JobParameters RoughingJob(const JobParameters& job, double allowance) {
  JobParameters roughing = job;
  roughing.ToolRadius =
      Narrow32(Round3(Float64(Float32(job.ToolRadius)) + Float64(allowance))).value();
  return roughing;
}

std::optional<std::string> AllowanceProblem(const JobParameters& job,
                                            const CuttingStrategy& strategy) {
  if (!strategy.finishAllowance || strategy.outside) return std::nullopt;
  const double allowance = *strategy.finishAllowance;
  const double reach = RoughingJob(job, allowance).ToolRadius;
  const bool circle = job.ShapeKind == ShapeKind::Circle;
  const double room = circle ? job.CornerRadius : std::min(job.Width, job.Height) / 2.0;
  if (reach >= room) {
    return "leaves no room for the tool: the paths keep Tool Radius and allowance, " +
           FormatCoord(reach) + ", from the wall, and " +
           (circle ? "the circle's radius" : "half the shorter side") + " is " + FormatCoord(room);
  }
  const RingSpacing spacing{strategy.stepover, job.ToolRadius};
  const double step = spacing.StepFor(Float32(job.ToolRadius), !circle).value();
  if (job.Fill && allowance > step) {
    return "leaves more than one pass along the wall can cut: a Fill may leave at most its ring "
           "spacing, " +
           FormatCoord(step) + ", on the walls";
  }
  return std::nullopt;
}

void WriteStrategyProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                          std::string_view decimalSeparator, const CuttingStrategy& strategy) {
  RingSpacing spacing{strategy.stepover, std::nullopt};
  if (!strategy.finishAllowance) {
    WritePaths(job, texts, writer, decimalSeparator, strategy, spacing);
    return;
  }
  // The rings are still spaced for the cutter that cuts them, not for the larger reach.
  spacing.cutterRadius = job.ToolRadius;
  WritePaths(RoughingJob(job, *strategy.finishAllowance), texts, writer, decimalSeparator, strategy,
             spacing);
}

std::string FinishingPassProgram(const JobParameters& job, const FieldTexts& texts,
                                 std::string_view decimalSeparator,
                                 const CuttingStrategy& strategy) {
  JobParameters wall = job;
  wall.Fill = false;
  std::string program;
  ProgramWriter writer(std::make_unique<StringSink>(program));
  WritePaths(wall, texts, writer, decimalSeparator, strategy, {});
  return program;
}

}  // namespace quorrel
