#include "gcode/numbers/ring_count.h"

#include <cmath>
#include <limits>
#include <string>

#include "gcode/numbers/arithmetic_fault.h"

namespace quorrel {

std::int16_t RingCount(double x) {
  // Ties to even without reading the floating-point rounding mode, which is global state.
  // x - floor(x) is exact for every finite double.
  double whole = std::floor(x);
  const double fraction = x - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;

  if (!(whole >= std::numeric_limits<std::int16_t>::min() &&
        whole <= std::numeric_limits<std::int16_t>::max())) {
    throw ArithmeticFault(FaultKind::RingCountOverflow,
                          "The pocket needs more rings than a program can hold (at most 32767). "
                          "Use a larger Tool Radius or a smaller shape.");
  }
  return static_cast<std::int16_t>(whole);
}

}  // namespace quorrel
