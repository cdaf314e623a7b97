#pragma once

#include <optional>
#include <string>

#include "gcode/estimate/motion_planner.h"
#include "gcode/job/job_parameters.h"
#include "gcode/job/program_units.h"
#include "gcode/strategy/tab_plan.h"
#include "gcode/toolpath/toolpath_recording.h"

namespace quorrel {

/// One operation of a job of several, as the drawing shows it: where its moves begin among the
/// moves drawn, the tool that cuts it and its radius, its title, and the job it cuts (its
/// contour), in the machine's unit.
struct PreviewOperation {
  std::size_t firstMove = 0;
  int tool = 1;
  double toolRadius = 0.0;
  std::string title;
  JobParameters job;
};

/// What the drawing knows besides the moves themselves.
struct PreviewContext {
  /// The job that made the moves, when known: its contour is drawn and its sizes listed.
  std::optional<JobParameters> job;
  /// The cutter's radius, when known: the area it sweeps is shaded.
  std::optional<double> toolRadius;
  /// The outline runs outside the contour, cutting a part out: the cutter must not enter it.
  bool outside = false;
  /// The holding tabs the program leaves, each as the stretch of the contour under its top;
  /// none when empty.
  std::vector<std::vector<ToolMove>> tabs;
  /// The same tabs' bases, where their sides slope; none when the sides stand upright.
  std::vector<std::vector<ToolMove>> tabBases;
  TabSizes tabSizes;
  /// The units the program was made in, whose resolution the legend gives its lengths to. The
  /// moves, the job and the tabs are all in the machine's unit.
  ProgramUnits units;
  /// The unit the program's lengths are in ("mm", "in"), where the program says it.
  std::string lengthUnit;
  /// How long the program runs on its controller, where it was estimated.
  std::optional<MotionTime> runTime;
  /// A job of several operations, in cutting order: each cutter's moves are drawn in a colour of
  /// their own, and every operation's contour. Empty for a program of one operation, which the
  /// rest of the context describes.
  std::vector<PreviewOperation> operations;
  /// The drawing's title where it is not the moves' own: a job's, whose operations each have one.
  std::optional<std::string> title;
};

/// An SVG drawing of a program's moves, seen from above: every cut of every pass (arcs as true
/// arcs about their centres), the ramps down into the material, where the tool plunges, the
/// rapid moves across, the area the cutter sweeps (in a warning colour where it leaves the
/// shape's contour, or enters it for an outside profile), the contour with its holding tabs, axes
/// with the origin, and a legend that counts the passes and the closed paths. Y points up, as on
/// the machine. The drawing is scaled to fit the moves and the cutter alone, so that the moves of a
/// program drawn as it is written and as it is read back are drawn alike; it has no external
/// references.
std::string DrawToolpathSvg(const ToolpathRecording& toolpath, const PreviewContext& context);

}  // namespace quorrel
