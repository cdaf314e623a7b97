#pragma once

#include <memory>
#include <string_view>

#include "gcode/job/machine_settings.h"
#include "gcode/output/byte_sink.h"
#include "gcode/strategy/controller_road.h"
#include "gcode/toolpath/repeatable_cuts.h"
#include "gcode/toolpath/toolpath_sink.h"
#include "gcode/toolpath/toolpath_tee.h"

namespace quorrel {

/// Writes the program the settings' controller runs as it stands, made from the paths `paths`
/// makes in the window's program's lines, to `destination`:
///   ( rectangle H10 x W10 )
///   G21 G90 G17 G94 G91.1
///   G0 Z5
///   G0 X-4 Y-4
///   G0 Z0
///   G1 Z-2 F300
///   G1 X4 F600
///   ...
///   G0 Z5
///   M30
/// The paths are cut in passes (see Passes), each coming down along its path where the entry is a
/// ramp (see RampEntry), closed paths run clockwise where the cut asks it (see ReversedPaths), the
/// tool kept above the holding tabs (see HoldingTabs), and arcs as a controller reads them (see
/// ArcsBetweenEnds). Raises JobRefused for a program that
/// cuts nothing, needs more than kMostPasses passes or a line longer than the controller reads,
/// OutputError where the destination cannot be written, and what `paths` raises; the destination
/// then keeps what it held.
void WriteControllerProgram(const ToolpathSource& paths, const MachineSettings& settings,
                            const ControllerProgramParts& parts,
                            std::unique_ptr<ByteSink> destination);

/// The moves WriteControllerProgram writes, handed to `program` as they would be written: the
/// passes, the finishing pass and the way up at the end, through every stage. Where `program` is
/// `repeatable` too, a later pass may hand it the first pass's cuts as a repeat (see
/// RepeatableCuts). Raises what WriteControllerProgram raises, but for the text's own refusals
/// and OutputError.
void RunControllerToolpath(const ToolpathSource& paths, const MachineSettings& settings,
                           const ControllerProgramParts& parts, ToolpathSink& program,
                           RepeatableCuts* repeatable = nullptr);

/// The controller's program of a program the window saved, read in the one grammar of the
/// window's programs: the same bytes as writing the job that made it. Raises ProgramFormatError,
/// before anything is written, for a program that is not one Quorrel writes, and what
/// WriteControllerProgram raises.
void ConvertWindowProgram(std::string_view program, const MachineSettings& settings,
                          const ProgramNotice& notice, std::unique_ptr<ByteSink> destination);

}  // namespace quorrel
