#pragma once

#include <optional>
#include <string>

#include "gcode/job/job_parameters.h"
#include "gcode/job/machine_settings.h"
#include "gcode/job/program_units.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// The most strokes one pass of a facing runs.
inline constexpr double kMostFacingStrokes = 32767;

/// Faces the stock, a rectangle Width x Height about the centre, lowered to the Depth: the tool
/// runs across it along X in strokes `spacing` apart at most, from its bottom edge to its top, the
/// tool's centre on each edge and running past the left and right edges by a quarter more than
/// Tool Radius, so that the cutter leaves no edge or corner standing and comes down beside the
/// stock. Back and forth in one path; or, with `oneWay`, every stroke its own path in one
/// direction: climb (with a clockwise spindle, the new material on the cutter's left as it climbs
/// from the bottom edge) along +X, conventional along -X.
void MakeFace(const JobParameters& job, const RingSpacing& spacing, std::optional<Direction> oneWay,
              ToolpathSink& sink);

/// What is wrong with a facing of the job, as a sentence: a stock without size, a cutter of no
/// size, more than kMostFacingStrokes strokes. Nothing when it is sound.
std::optional<std::string> FacingProblem(const JobParameters& job, const RingSpacing& spacing,
                                         ProgramUnits units);

}  // namespace quorrel
