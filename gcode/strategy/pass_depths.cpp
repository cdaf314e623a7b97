#include "gcode/strategy/pass_depths.h"

#include <cmath>
#include <string>

#include "gcode/job/job_refusal.h"
#include "gcode/numbers/number_text.h"

namespace quorrel {

PassDepths::PassDepths(double depth, std::optional<double> stepDown, ProgramUnits units)
    : depth_(depth) {
  if (!stepDown || !(depth < 0.0)) return;
  // The largest whole number of thousandths that does not cut deeper than asked.
  double step = std::round(*stepDown * 1000.0);
  if (step / 1000.0 > *stepDown) step -= 1.0;
  if (step < 1.0) {
    throw JobRefused("A step-down below " + units.Text(0.001) + " cuts nothing.");
  }
  // Counted in doubles first: a depth far beyond any machine must not overflow the count.
  const double passes = std::ceil(std::round(-depth * 1000.0) / step);
  if (passes > static_cast<double>(kMostPasses)) {
    throw JobRefused("A step-down of " + units.Text(step / 1000.0) + " needs " +
                     FormatNumberPlain(passes, ".") + " passes to reach the depth, more than the " +
                     std::to_string(kMostPasses) + " a program may cut.");
  }
  step_ = static_cast<long long>(step);
  passes_ = static_cast<long long>(passes);
}

}  // namespace quorrel
