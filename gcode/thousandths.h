#pragma once

#include <cstdint>
#include <optional>

namespace quorrel {

/// A value as a whole number of thousandths, correctly rounded, half-way going to even.
struct Thousandths {
  std::int64_t magnitude;  ///< |x| in thousandths
  bool negative;           ///< the sign of x (so -0.0004 is a negative zero)
};

/// The thousandths of x, exactly as decimal rounding of its binary value gives them, for
/// |x| below 2^52 / 1000 (about 4.5E+12); nothing for larger or non-finite values.
/// ExactThousandths(-0.0625) == Thousandths{62, true}; ExactThousandths(2.0005) == {2001, false}.
std::optional<Thousandths> ExactThousandths(double x);

}  // namespace quorrel
