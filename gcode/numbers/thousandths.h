#pragma once

#include <cmath>
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
inline std::optional<Thousandths> ExactThousandths(double x) {
  const double magnitude = std::fabs(x);
  constexpr double kLimit = 4503599627370.0;  // keeps magnitude * 1000 below 2^52
  if (!(magnitude < kLimit)) return std::nullopt;

  // Round the exact magnitude * 1000 to the nearest whole number, a tie going to even. Below 2^52
  // the fraction of the rounded product is exact, and a fraction that is not exactly one half
  // differs from it by at least one unit of the product, more than the product's own rounding
  // can make up: only at one half does that rounding decide.
  const double product = magnitude * 1000.0;
  const auto whole = static_cast<std::int64_t>(product);
  const double aboveHalf = (product - static_cast<double>(whole)) - 0.5;
  bool up = aboveHalf > 0.0;
  if (aboveHalf == 0.0) {
    // The product's rounding error, exactly (Dekker): the factor split into halves of 26 bits,
    // whose products with 1000 (10 bits) are exact.
    const double split = 134217729.0 * magnitude;  // 2^27 + 1
    const double high = split - (split - magnitude);
    const double low = magnitude - high;
    const double error = (high * 1000.0 - product) + low * 1000.0;
    up = error > 0.0 || (error == 0.0 && (whole & 1) != 0);
  }
  return Thousandths{whole + (up ? 1 : 0), std::signbit(x)};
}

}  // namespace quorrel
