#include "gcode/numbers/checked_float.h"

#include <limits>

namespace quorrel {

void RaiseOverflow() {
  throw ArithmeticFault(FaultKind::Overflow,
                        "A coordinate grew beyond the largest number the program can compute "
                        "with (about 1.8E+308).");
}

void RaiseDivisionByZero() {
  throw ArithmeticFault(FaultKind::DivisionByZero, "A number was divided by 0.");
}

void RaiseNarrowingOverflow() {
  throw ArithmeticFault(FaultKind::NarrowingOverflow,
                        "A number held in 32 bits grew beyond the largest one (about 3.4E+38).");
}

bool FitsFloat32(double x) {
  // Half-way between the largest float and 2^128 rounds (to even) to infinity, so the last double
  // that narrows to a finite float lies just below that midpoint. Converting anything beyond it
  // would be undefined behaviour, so the test comes first.
  constexpr double kOverflowThreshold = 0x1.ffffffp127;
  return std::fabs(x) < kOverflowThreshold;
}

Float32 Narrow32(Float64 x) {
  if (!FitsFloat32(x.value())) RaiseNarrowingOverflow();
  return Float32(static_cast<float>(x.value()));
}

}  // namespace quorrel
