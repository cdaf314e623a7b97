#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gcode/job/job_parameters.h"
#include "gcode/job/program_units.h"
#include "gcode/numbers/checked_float.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Where a hole of a drilling pattern stands.
struct HoleCentre {
  Float64 x, y;
};

/// The most holes one program drills.
inline constexpr double kMostHoles = 10000;
/// The most pecks one program drills its holes in: GRBL's program writes three lines for each.
inline constexpr double kMostPecks = 1'000'000;

/// The holes of the job's pattern, in the order they are drilled: one at the centre; round a
/// bolt-hole circle from the start angle, counter-clockwise; a grid row by row from the bottom,
/// left to right and back, so that the tool never crosses the grid twice. A single column or row
/// stands on the centre line. The pattern's counts must be sound (see HolePatternProblem).
std::vector<HoleCentre> HoleCentres(const JobParameters& job);

/// What is wrong with the job's pattern, as a sentence: a count that is not a whole number of 1
/// or more, more than kMostHoles holes, holes that stand on one another or closer than the
/// drill's diameter. Nothing when it is sound. The job's lengths are in `units`, and so are those
/// the message gives in the machine's unit.
std::optional<std::string> HolePatternProblem(const JobParameters& job, ProgramUnits units);

/// How many holes the job's pattern has.
double HoleCount(const JobParameters& job);

/// The holes of the job, each a drilling cycle at its centre down to the Depth.
void MakeHoles(const JobParameters& job, ToolpathSink& sink);

}  // namespace quorrel
