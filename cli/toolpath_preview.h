#pragma once

#include <optional>
#include <string>

#include "gcode/job/job_parameters.h"
#include "gcode/program/program_reader.h"

namespace quorrel::cli {

/// What the drawing knows besides the program itself.
struct PreviewContext {
  /// The job that made the program, when known: its contour is drawn and its sizes listed.
  std::optional<JobParameters> job;
  /// The cutter's radius, when known: the area it sweeps is shaded.
  std::optional<double> toolRadius;
  /// The outline runs outside the contour, cutting a part out: the cutter must not enter it.
  bool outside = false;
};

/// An SVG drawing of a program as read back: the tool centre's cutting path (arcs as true arcs
/// about their absolute centres), where the tool goes down, the area the cutter sweeps (in a
/// warning colour where it leaves the shape's contour, or enters it for an outside profile), the
/// contour, axes with the origin, and a legend. Y points up, as on the machine. The drawing is
/// scaled to fit and has no external references.
std::string DrawToolpathSvg(const ReadBackProgram& program, const PreviewContext& context);

}  // namespace quorrel::cli
