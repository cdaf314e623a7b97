#include "gcode/save/program_check.h"

#include <algorithm>
#include <cmath>

#include "gcode/job/dialect_profile.h"
#include "gcode/numbers/coord.h"
#include "gcode/output/byte_sink.h"
#include "gcode/program/controller_writer.h"
#include "gcode/program/program_writer.h"
#include "gcode/save/write_job.h"
#include "gcode/shapes/operation.h"
#include "gcode/strategy/cutting_strategy.h"
#include "gcode/strategy/pass_depths.h"
#include "gcode/strategy/passes.h"
#include "gcode/toolpath/contour.h"

namespace quorrel {
namespace {

// Takes a toolpath until its first closed path is whole (a Fill's innermost ring, an outline),
// then stops the making of it.
class FirstPathProbe final : public ToolpathSink {
 public:
  struct Enough {};

  void Title(const ProgramTitle& title) override { title_ = title.text; }
  void Move(ToolMove&) override {
    if (closed_) throw Enough{};
  }
  void ClosedPathEnd() override { closed_ = true; }
  void End() override {}

  const std::string& title() const { return title_; }

 private:
  std::string title_;
  bool closed_ = false;
};

// The most characters FormatCoord writes for a number of at most `magnitude` in size, with
// `decimals` decimals: its sign, its whole digits, its point and decimals; beyond 15 digits the
// whole digits it writes in full.
std::size_t LongestText(double magnitude, std::size_t decimals) {
  const double digits = magnitude < 1.0 ? 1.0 : std::floor(std::log10(magnitude)) + 1.0;
  return 1 + static_cast<std::size_t>(std::min(digits, 400.0)) + 1 + decimals;
}

// The longest move line the job's sizes allow, counted as the controller counts: the motion and
// six words (X, Y, Z, I, J, F) of the longest numbers within the job's reach.
// A point moved left for a program made in tenths adds a character to each word but the feed.
std::size_t LongestMoveLine(const CheckedJob& checked) {
  const JobParameters& job = checked.parameters;
  const MachineSettings& machine = checked.machine;
  const Contour contour = ContourOf(job);
  const double reach = std::fabs(static_cast<double>(job.ToolRadius)) +
                       checked.strategy.finishAllowance.value_or(0.0) + 1.0;
  const double x = std::fabs(contour.centerX) + contour.halfWidth + reach;
  const double y = std::fabs(contour.centerY) + contour.halfHeight + reach;
  const double z = std::max(machine.safeZ, std::fabs(static_cast<double>(job.Depth))) + 1;
  const double offset = 2 * (std::max(contour.halfWidth, contour.halfHeight) + reach);
  const double feed = std::max(machine.feed, machine.plungeFeed);
  const std::size_t moved = checked.units().tenths() ? 5 : 0;
  const std::size_t words = LongestText(x, 3) + LongestText(y, 3) + LongestText(z, 3) +
                            2 * LongestText(offset, 4) + LongestText(feed, 3) + moved;
  const bool blanks = ProfileOf(machine.dialect).countsBlanksAndComments;
  return 2 + 6 + words + (blanks ? 6 : 0);
}

}  // namespace

void CheckProgram(const SaveRequest& request, const CheckedJob& checked) {
  const JobParameters& job = checked.parameters;
  FirstPathProbe probe;
  try {
    MakeStrategyToolpath(job, request.texts, request.decimalSeparator, checked.strategy, probe);
  } catch (const FirstPathProbe::Enough&) {
  }
  const MachineSettings& machine = checked.machine;
  if (machine.dialect == Dialect::Din) return;
  RequireCutBelowSurface(Coord::Of(job.Depth), checked.units());
  const PassDepths depths(Coord::Of(job.Depth), machine.stepDown, checked.units());
  // The title, as the controller's writer takes it.
  ProgramWriter writer(std::make_unique<DiscardingSink>());
  ControllerWriter(machine, writer).Title({probe.title()});
  if (LongestMoveLine(checked) > ProfileOf(machine.dialect).longestLine) {
    WriteJobProgram(request, checked, std::make_unique<DiscardingSink>());
  }
}

}  // namespace quorrel
