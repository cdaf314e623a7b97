#include "gcode/numbers/coord.h"

#include <charconv>
#include <string>

#include "gcode/numbers/number_text.h"

namespace quorrel {
namespace {

// From here on FormatCoord writes a 32-bit value on its own in its 7 significant digits, not in
// thousandths.
constexpr std::int64_t kMostFloatThousandths = 10'000'000;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

Coord Coord::Written(double x) {
  return *Parse(FormatCoord(x));
}

Coord Coord::Of(float x) {
  if (const auto thousandths = ExactThousandths(x);
      thousandths && thousandths->magnitude < kMostFloatThousandths) {
    const double value = static_cast<double>(thousandths->magnitude) / 1000.0;
    return Coord(thousandths->negative && thousandths->magnitude != 0 ? -value : value);
  }
  return *Parse(FormatCoord(x));
}

// Up to 15 digits the text is a whole number of thousandths, read in one pass; beyond, its value
// is read as from_chars reads it.
std::optional<Coord> Coord::Parse(std::string_view text) {
  if (text == "0") return Coord(0.0);
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  if (p == end || *p == '0') return std::nullopt;  // no leading zero, and "-0" is never written
  std::uint64_t count = 0;  // wraps harmlessly past 19 digits, where it is not used
  int digits = 0;
  for (; p != end && IsDigit(*p); ++p, ++digits)
    count = count * 10 + static_cast<unsigned>(*p - '0');
  int decimals = 0;
  if (p != end) {
    if (*p != '.') return std::nullopt;
    for (++p; p != end && IsDigit(*p); ++p, ++decimals) {
      count = count * 10 + static_cast<unsigned>(*p - '0');
    }
    if (p != end || decimals == 0 || decimals > 3 || p[-1] == '0') return std::nullopt;
  }
  for (int padding = decimals; padding < 3; ++padding) count *= 10;
  // Up to 2^53 the count is exact as a double, and one division rounds it correctly, as from_chars
  // would read the text.
  if (digits + decimals > 15 || count >= (std::uint64_t{1} << 53)) {
    double value = 0.0;
    std::from_chars(text.data(), end, value);
    // Past 15 digits a text is FormatCoord's only where it is the one it writes for its value:
    // any other, read and written again, would not say the same.
    if (FormatCoord(value) != text) return std::nullopt;
    return Coord(value);
  }
  const double value = static_cast<double>(count) / 1000.0;
  return Coord(negative ? -value : value);
}

}  // namespace quorrel
