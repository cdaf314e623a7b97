#include "gcode/numbers/round3.h"

#include <array>
#include <charconv>

#include "gcode/numbers/thousandths.h"

namespace quorrel {

double Round3(double x) {
  if (const auto thousandths = ExactThousandths(x)) {
    // One correctly rounded division gives the double nearest the decimal.
    const double rounded = static_cast<double>(thousandths->magnitude) / 1000.0;
    return thousandths->negative ? -rounded : rounded;
  }
  // Decimal rounding of the exact binary value, then the nearest double to that decimal: both
  // conversions are exact by the standard, which scaling by 1000 is not (x * 1000 rounds first).
  std::array<char, 512> text;  // the largest double has 309 integer digits
  const auto written =
      std::to_chars(text.data(), text.data() + text.size(), x, std::chars_format::fixed, 3);
  double rounded = 0.0;
  std::from_chars(text.data(), written.ptr, rounded);
  return rounded;
}

}  // namespace quorrel
