#pragma once

#include <optional>
#include <string>

#include "gcode/estimate/motion_planner.h"

#include "gcode/preview/toolpath_drawing.h"
#include "gcode/save/checked_job.h"
#include "gcode/save/program_request.h"

namespace quorrel {

/// The drawing of a request's program, or why there is none.
struct JobPreview {
  std::string svg;      ///< empty when the job cannot be written
  std::string message;  ///< why not, as the save would say it, without what became of a file
  /// How long a controller's program runs; none for the window's own program.
  std::optional<MotionTime> runTime;
};

/// What the drawing of the job's program knows beside its moves: the job, the cutter, the side
/// of the contour it runs on and the tabs, in the machine's unit.
PreviewContext PreviewContextOf(const CheckedJob& job);

/// The drawing `quorrel-gcode --preview` makes of the program the request saves, made from the
/// same moves without writing the program anywhere, with the run time of a controller's program.
JobPreview DrawJobPreview(const SaveRequest& request);

/// How long the job's program runs on its controller, estimated from the moves it is written
/// from (see RunTimeEstimate), without writing it. Raises what MakeJobToolpath raises.
MotionTime EstimateJobRunTime(const SaveRequest& request, const CheckedJob& job);

}  // namespace quorrel
