#pragma once

#include <optional>

#include "gcode/job/program_units.h"

namespace quorrel {

/// The most passes one program may cut; a finer step-down is refused rather than written.
inline constexpr long long kMostPasses = 10000;

/// The depth of each pass, in thousandths below the work surface: whole steps of the step-down,
/// the last pass at the depth itself. Without a step-down, or for a depth that is not below the
/// work surface, one pass at the depth.
class PassDepths {
 public:
  /// Raises JobRefused for more than kMostPasses passes, or a step-down below a thousandth; the
  /// depths are in `units`, and so are the lengths the message gives in the machine's unit.
  PassDepths(double depth, std::optional<double> stepDown, ProgramUnits units = {});

  long long count() const { return passes_; }
  /// The Z of pass `k`, counted from 1.
  double Z(long long k) const {
    return k == passes_ ? depth_ : -static_cast<double>(k * step_) / 1000.0;
  }

 private:
  double depth_;
  long long step_ = 0;
  long long passes_ = 1;
};

}  // namespace quorrel
