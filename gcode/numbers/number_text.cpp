#include "gcode/numbers/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "gcode/numbers/round3.h"
#include "gcode/numbers/thousandths.h"

namespace quorrel {
namespace {

constexpr int kDoubleDigits = 15;
constexpr int kFloatDigits = 7;

// v as a plain decimal with at most `digits` significant digits: "0" before the point below 1,
// no trailing zeros, no exponent. From 10^15 on the value is written exactly instead, in the
// shortest plain form that reads back as v.
char* WritePlainDecimal(char* out, double v, int digits) {
  if (std::fabs(v) >= 1e15) {
    return std::to_chars(out, out + kMaxNumberTextLength, v, std::chars_format::fixed).ptr;
  }
  // Correctly rounded to `digits` digits: "[-]d.ddde[+-]xx".
  std::array<char, 40> scientific;
  const char* const end = std::to_chars(scientific.data(), scientific.data() + scientific.size(), v,
                                        std::chars_format::scientific, digits - 1)
                              .ptr;
  const char* p = scientific.data();
  if (*p == '-') *out++ = *p++;

  std::array<char, 20> mantissa;
  int count = 0;
  for (; *p != 'e'; ++p) {
    if (*p != '.') mantissa[static_cast<std::size_t>(count++)] = *p;
  }
  int exponent = 0;
  std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
  while (count > 1 && mantissa[static_cast<std::size_t>(count - 1)] == '0') --count;

  // The first mantissa digit stands for 10^exponent.
  if (exponent < 0) {
    *out++ = '0';
    *out++ = '.';
    for (int zeros = -exponent - 1; zeros > 0; --zeros) *out++ = '0';
    for (int i = 0; i < count; ++i) *out++ = mantissa[static_cast<std::size_t>(i)];
    return out;
  }
  for (int i = 0; i <= exponent; ++i) {
    *out++ = i < count ? mantissa[static_cast<std::size_t>(i)] : '0';
  }
  if (count > exponent + 1) {
    *out++ = '.';
    for (int i = exponent + 1; i < count; ++i) *out++ = mantissa[static_cast<std::size_t>(i)];
  }
  return out;
}

// The three digits of each number from 0 to 999: as the digits after the point, of which
// `fraction` are kept (no trailing zeros: 500 is "5", 250 "25", 7 "007"), and as a whole number,
// left-aligned in `whole`, of which `wholeCount` are kept (no leading zeros: 7 is "7").
struct ThreeDigits {
  std::array<char, 3> digits;
  std::array<char, 3> whole;
  std::uint8_t fraction;
  std::uint8_t wholeCount;
};

constexpr std::array<ThreeDigits, 1000> MakeDigitTable() {
  std::array<ThreeDigits, 1000> table{};
  for (int number = 0; number < 1000; ++number) {
    ThreeDigits& entry = table[static_cast<std::size_t>(number)];
    entry.digits = {static_cast<char>('0' + number / 100),
                    static_cast<char>('0' + number / 10 % 10),
                    static_cast<char>('0' + number % 10)};
    entry.fraction = number % 100 == 0 ? 1 : number % 10 == 0 ? 2 : 3;
    entry.wholeCount = number >= 100 ? 3 : number >= 10 ? 2 : 1;
    const std::size_t skipped = 3U - entry.wholeCount;
    for (std::size_t k = 0; k < entry.wholeCount; ++k) entry.whole[k] = entry.digits[k + skipped];
  }
  return table;
}

constexpr std::array<ThreeDigits, 1000> kDigits = MakeDigitTable();

// A whole number above 0, three digits at a time.
char* WriteWhole(char* out, std::uint64_t whole) {
  if (whole >= 1000) {
    out = WriteWhole(out, whole / 1000);
    std::memcpy(out, kDigits[whole % 1000].digits.data(), 3);
    return out + 3;
  }
  const ThreeDigits& digits = kDigits[whole];
  // All three are copied; only `wholeCount` of them are kept.
  std::memcpy(out, digits.whole.data(), 3);
  return out + digits.wholeCount;
}

// Thousandths as "-12.345", ".5", "100": no "0" before the point, no trailing zeros.
char* WriteThousandths(char* out, Thousandths value) {
  const auto magnitude = static_cast<std::uint64_t>(value.magnitude);
  if (magnitude == 0) {
    *out = '0';
    return out + 1;
  }
  *out = '-';
  out += value.negative ? 1 : 0;
  const std::uint64_t whole = magnitude / 1000;
  const auto fraction = static_cast<std::size_t>(magnitude - whole * 1000);
  if (whole >= 1000) {
    out = WriteWhole(out, whole);
  } else if (whole != 0) {
    // Nearly every coordinate: at most three digits before the point.
    const ThreeDigits& digits = kDigits[whole];
    std::memcpy(out, digits.whole.data(), 3);
    out += digits.wholeCount;
  }
  if (fraction != 0) {
    const ThreeDigits& digits = kDigits[fraction];
    *out = '.';
    // All three digits are copied; only `fraction` of them are kept.
    std::memcpy(out + 1, digits.digits.data(), 3);
    out += 1 + digits.fraction;
  }
  return out;
}

char* WriteCoord(char* out, double x, int digits) {
  // Most coordinates take the short way: a whole number of thousandths that fits the digits.
  const std::int64_t mostThousandths = digits == kDoubleDigits ? 1'000'000'000'000'000 : 10'000'000;
  if (const auto thousandths = ExactThousandths(x);
      thousandths && thousandths->magnitude < mostThousandths) {
    return WriteThousandths(out, *thousandths);
  }
  const double rounded = Round3(x);
  if (rounded == 0.0) {
    *out++ = '0';
    return out;
  }
  char* const start = out;
  char* const end = WritePlainDecimal(out, rounded, digits);
  // A machine coordinate drops the "0" before the point: ".5", "-.25".
  char* const zero = start + (*start == '-' ? 1 : 0);
  if (zero[0] == '0' && zero[1] == '.') {
    std::memmove(zero, zero + 1, static_cast<std::size_t>(end - zero - 1));
    return end - 1;
  }
  return end;
}

}  // namespace

char* FormatCoordTo(char* out, double x) {
  return WriteCoord(out, x, kDoubleDigits);
}

char* FormatCoordTo(char* out, float x) {
  return WriteCoord(out, x, kFloatDigits);
}

char* WriteWholeNumber(char* out, std::uint64_t number) {
  if (number == 0) {
    *out++ = '0';
    return out;
  }
  return WriteWhole(out, number);
}

char* FormatCoordTo(char* out, Coord x) {
  // A coordinate's value is the double nearest its thousandths, so that scaled and rounded it
  // gives them back, exactly, below 2^53 thousandths.
  const double value = x.value();
  if (std::fabs(value) < 1e12) {
    const double scaled = std::fabs(value) * 1000.0;
    return WriteThousandths(out, {static_cast<std::int64_t>(scaled + 0.5), value < 0.0});
  }
  return WriteCoord(out, value, kDoubleDigits);
}

char* MovePointLeft(char* start, char* end) {
  char* const digits = start + (*start == '-' ? 1 : 0);
  if (end - start == 1 && *start == '0') return end;
  char* const point = std::find(digits, end, '.');
  if (point == end) {
    // A whole number: its last digit goes after the point, where a 0 is dropped.
    if (end[-1] == '0') return end - 1;
    end[0] = end[-1];
    end[-1] = '.';
    return end + 1;
  }
  if (point == digits) {
    // Below 1: a 0 comes in after the point.
    std::memmove(point + 2, point + 1, static_cast<std::size_t>(end - point - 1));
    point[1] = '0';
    return end + 1;
  }
  std::swap(point[-1], point[0]);
  return end;
}

std::string MovePointLeft(std::string_view text) {
  std::string moved(text);
  moved += ' ';
  moved.resize(static_cast<std::size_t>(MovePointLeft(moved.data(), moved.data() + text.size()) -
                                        moved.data()));
  return moved;
}

std::string MovePointRight(std::string_view text) {
  std::string moved(text);
  if (moved == "0") return moved;
  const std::size_t digits = moved.starts_with('-') ? 1 : 0;
  const std::size_t point = moved.find('.');
  if (point == std::string::npos) return moved + '0';
  std::swap(moved[point], moved[point + 1]);
  // A 0 moved before the point is dropped, as is a point with nothing after it.
  if (moved[digits] == '0') moved.erase(digits, 1);
  if (moved.back() == '.') moved.pop_back();
  return moved;
}

std::string FormatCoord(double x) {
  std::array<char, kMaxNumberTextLength> text;
  return std::string(text.data(), FormatCoordTo(text.data(), x));
}

std::string FormatCoord(float x) {
  std::array<char, kMaxNumberTextLength> text;
  return std::string(text.data(), FormatCoordTo(text.data(), x));
}

namespace {

constexpr double kTenThousandths = 10000.0;

// x in ten-thousandths, rounded half away from zero; nothing where FormatCoord writes it instead.
std::optional<std::int64_t> TenThousandths(double x) {
  const double scaled = std::round(x * kTenThousandths);
  if (!(std::fabs(scaled) < 1e15)) return std::nullopt;
  return static_cast<std::int64_t>(scaled);
}

}  // namespace

char* FormatCenterOffsetTo(char* out, double x) {
  const std::optional<std::int64_t> scaled = TenThousandths(x);
  if (!scaled) return FormatCoordTo(out, x);
  std::int64_t count = *scaled;
  if (count == 0) {
    *out++ = '0';
    return out;
  }
  if (count < 0) {
    *out++ = '-';
    count = -count;
  }
  if (count >= 10000) out = std::to_chars(out, out + 20, count / 10000).ptr;
  std::int64_t fraction = count % 10000;
  if (fraction == 0) return out;
  int digits = 4;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --digits;
  }
  *out++ = '.';
  for (int place = digits - 1; place >= 0; --place) {
    out[place] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  return out + digits;
}

std::string FormatCenterOffset(double x) {
  std::array<char, kMaxNumberTextLength> text;
  return std::string(text.data(), FormatCenterOffsetTo(text.data(), x));
}

double CenterOffsetValue(double x) {
  const std::optional<std::int64_t> scaled = TenThousandths(x);
  if (!scaled) return Coord::Of(x).value();
  // One correctly rounded division gives the double nearest the decimal, as reading it would.
  return *scaled == 0 ? 0.0 : static_cast<double>(*scaled) / kTenThousandths;
}

std::string FormatNumberPlain(double x, std::string_view decimalSeparator) {
  if (x == 0.0) return "0";  // negative zero too: the ordinary text has no "-0"
  std::array<char, kMaxNumberTextLength> text;
  const char* const end = WritePlainDecimal(text.data(), x, kDoubleDigits);
  std::string result;
  for (const char* p = text.data(); p != end; ++p) {
    if (*p == '.') {
      result += decimalSeparator;
    } else {
      result += *p;
    }
  }
  return result;
}

}  // namespace quorrel
