#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/job/machine_settings.h"
#include "gcode/job/program_units.h"
#include "gcode/shapes/din_layout.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Holding tabs as the machinist asks for them: how many, and their sizes where given.
struct TabSettings {
  int count = 0;                 ///< none by default
  std::optional<double> width;   ///< along the contour; twice the tool's diameter when absent
  std::optional<double> height;  ///< above the Depth; see TabSizesOf when absent
  std::optional<double> angle;   ///< of a tab's sides, from the horizontal; see TabSizesOf

  bool operator==(const TabSettings&) const = default;
};

/// How a controller's program cuts a job where the window's program knows one way only: how far
/// apart a Fill's rings lie, on which side of the contour the outline runs, what is left on the
/// walls for a finishing pass, and the tabs that hold a part cut out in the sheet.
struct CuttingStrategy {
  double stepover = kWindowStepover;  ///< a Fill's ring spacing, in % of the cutter's diameter
  bool outside = false;               ///< the outline with the tool outside the contour
  /// Left on the walls by every path, then cut in one last pass along the wall at full depth.
  std::optional<double> finishAllowance;
  TabSettings tabs;
  /// Where the direction is given, a facing's strokes all run that way; back and forth where not.
  std::optional<Direction> oneWay;

  bool operator==(const CuttingStrategy&) const = default;
};

/// The strategy with its lengths, the finishing allowance and the tabs' sizes, in the program's
/// units.
CuttingStrategy InProgramUnits(const CuttingStrategy& strategy, ProgramUnits units);

/// Why a Fill takes no holding tabs and is never cut from outside, in the words every message
/// uses: "Holding tabs " + kTabsHoldOutlines, "--side=outside cuts an outline; " + kFillIsInside.
inline constexpr std::string_view kTabsHoldOutlines =
    "hold a part that an outline cuts out; a Fill pocket has none";
inline constexpr std::string_view kFillIsInside = "a Fill pocket is always inside the contour";

/// The job whose paths keep `allowance` more from the wall: its Tool Radius grown by the
/// allowance, rounded to the program's thousandths and held in 32 bits as every Tool Radius is.
/// Raises ArithmeticFault(Overflow) when the sum lies beyond the 32-bit range.
JobParameters RoughingJob(const JobParameters& job, double allowance);

/// What is wrong with the strategy's finishing allowance for the job, as the words that follow
/// "--finish": paths that keep it from the wall leave the tool no room inside the shape, or a
/// Fill leaves more to the finishing pass than one ring spacing, which is what one pass along the
/// wall can take. Nothing when it is sound (an outside profile always has room). The job and the
/// strategy are in `units`.
std::optional<std::string> AllowanceProblem(const JobParameters& job,
                                            const CuttingStrategy& strategy,
                                            ProgramUnits units = {});

/// Why a program for a controller cannot be written for the job, or nothing when it can: a field
/// the shape is made from that is not an ordinary number, a finishing allowance that does not fit
/// (see AllowanceProblem), a Depth at or above the work surface cuts nothing, a negative Tool
/// Radius is no cutter, and a tool that does not fit the shape leaves its contour (or, cut from
/// outside, enters the shape); for a drilling or a facing, what its operation asks (see
/// Operation::problem). The job, the strategy and the drilling settings are in `units`, and so are
/// the lengths that the messages give in the machine's unit. The window's own program is written as
/// computed all the same. Raises ArithmeticFault where the path along the wall cannot be computed.
std::optional<std::string> ControllerRefusalReason(const JobParameters& job,
                                                   const FieldTexts& texts,
                                                   const CuttingStrategy& strategy,
                                                   const DrillSettings& drill, ProgramUnits units);

/// The toolpath of the job's paths as `strategy` cuts them, in the window's program's lines: the
/// outline on its side of the contour or the Fill with its spacing, each keeping the finishing
/// allowance from the wall. The default strategy makes exactly the window's program. Raises what
/// the generators raise.
void MakeStrategyToolpath(const JobParameters& job, const FieldTexts& texts,
                          std::string_view decimalSeparator, const CuttingStrategy& strategy,
                          ToolpathSink& sink);

/// The lines of the window's program of the paths MakeStrategyToolpath makes, and of the path
/// MakeFinishingPath makes.
const DinLayout& DinLayoutOf(const JobParameters& job, const CuttingStrategy& strategy);
const DinLayout& FinishingDinLayoutOf(const JobParameters& job, const CuttingStrategy& strategy);

/// The path along the wall that the finishing pass of `strategy` cuts: the outline inside or
/// outside the contour, whatever the job's Fill.
void MakeFinishingPath(const JobParameters& job, const FieldTexts& texts,
                       std::string_view decimalSeparator, const CuttingStrategy& strategy,
                       ToolpathSink& sink);

}  // namespace quorrel
