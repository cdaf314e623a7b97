#include "gcode/job/program_units.h"

#include "gcode/numbers/checked_float.h"
#include "gcode/numbers/number_text.h"
#include "gcode/numbers/round3.h"

namespace quorrel {

std::string ProgramUnits::Text(double length) const {
  const std::string text = FormatCoord(length);
  return tenths_ ? MovePointLeft(text) : text;
}

std::string ProgramUnits::Text(float length) const {
  const std::string text = FormatCoord(length);
  return tenths_ ? MovePointLeft(text) : text;
}

MachineSettings InProgramUnits(const MachineSettings& settings) {
  const ProgramUnits units = ProgramUnits::Of(settings);
  MachineSettings scaled = settings;
  scaled.safeZ = units.FromMachine(settings.safeZ);
  if (settings.stepDown) scaled.stepDown = units.FromMachine(*settings.stepDown);
  if (settings.drill.peck) scaled.drill.peck = units.FromMachine(*settings.drill.peck);
  if (settings.drill.retractZ) scaled.drill.retractZ = units.FromMachine(*settings.drill.retractZ);
  return scaled;
}

JobParameters InProgramUnits(const JobParameters& job, ProgramUnits units) {
  if (!units.tenths()) return job;
  const auto length = [&](double x) { return Round3(units.FromMachine(x)); };
  const auto length32 = [&](float x) {
    return static_cast<float>(Round3(Narrow32(Float64(units.FromMachine(x))).value()));
  };
  JobParameters scaled = job;
  scaled.CenterX = length(job.CenterX);
  scaled.CenterY = length(job.CenterY);
  scaled.Width = length(job.Width);
  scaled.Height = length(job.Height);
  scaled.CornerRadius = length(job.CornerRadius);
  scaled.ToolRadius = length32(job.ToolRadius);
  scaled.Depth = length32(job.Depth);
  return scaled;
}

JobParameters InMachineUnits(const JobParameters& job, ProgramUnits units) {
  if (!units.tenths()) return job;
  JobParameters scaled = job;
  scaled.CenterX = units.ToMachine(job.CenterX);
  scaled.CenterY = units.ToMachine(job.CenterY);
  scaled.Width = units.ToMachine(job.Width);
  scaled.Height = units.ToMachine(job.Height);
  scaled.CornerRadius = units.ToMachine(job.CornerRadius);
  scaled.ToolRadius = static_cast<float>(units.ToMachine(job.ToolRadius));
  scaled.Depth = static_cast<float>(units.ToMachine(job.Depth));
  return scaled;
}

}  // namespace quorrel
