#pragma once

#include "gcode/job/machine_settings.h"
#include "gcode/strategy/ramp_entry.h"
#include "gcode/strategy/tab_plan.h"
#include "gcode/toolpath/repeatable_cuts.h"
#include "gcode/toolpath/toolpath_sink.h"
#include "gcode/toolpath/toolpath_tee.h"

namespace quorrel {

/// A controller's program's paths, and where else its moves go.
struct ControllerProgramParts {
  /// The path along the wall cut once more after all passes, at full depth; none when null.
  const ToolpathSource* finishingPath = nullptr;
  /// The paths run round the outside of a part, which turns the direction of a climb cut.
  bool outside = false;
  /// The paths are closed ones that the cut's direction turns; a facing's strokes are made
  /// running the way they cut, and holes have nothing to turn.
  bool turnsWithDirection = true;
  /// Hears of a path too short to ramp along.
  ProgramNotice notice;
  /// See every move the program is written from, as it is written (a preview, an estimate).
  Onlookers onlookers;
  /// The holding tabs every pass leaves standing (see HoldingTabs); none when null.
  const TabPlan* tabs = nullptr;
};

/// The road a controller program's moves take, assembled in one place: the paths `paths` makes
/// (in the program's units) cut in passes (see Passes), each coming down along its path where
/// the entry is a ramp (see RampEntry), closed paths run clockwise where the cut asks it (see
/// ReversedPaths), the tool kept above the holding tabs (see HoldingTabs), arcs as a controller
/// reads them (see ArcsBetweenEnds); then the finishing pass, and the way up at the end. The moves
/// reach `program` in the machine's unit. Where `repeatable` takes them and nobody else looks on,
/// a later pass whose cuts are the first pass's takes them as those again, without their moves
/// being made (see RepeatableCuts). Raises JobRefused for a program that cuts nothing or needs
/// more than kMostPasses passes, and what `paths` raises.
void RunControllerPasses(const ToolpathSource& paths, const MachineSettings& settings,
                         const ControllerProgramParts& parts, ToolpathSink& program,
                         RepeatableCuts* repeatable);

}  // namespace quorrel
