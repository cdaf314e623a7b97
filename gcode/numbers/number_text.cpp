#include "gcode/numbers/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// The digits after the point of each number of thousandths from 1 to 999, without trailing
// zeros: 500 is "5", 250 "25", 7 "007".
struct FractionDigits {
  std::array<char, 3> digits;
  std::uint8_t count;
};

constexpr std::array<FractionDigits, 1000> MakeFractionTable() {
  std::array<FractionDigits, 1000> table{};
  for (int fraction = 1; fraction < 1000; ++fraction) {
    FractionDigits& entry = table[static_cast<std::size_t>(fraction)];
    entry.digits = {static_cast<char>('0' + fraction / 100),
                    static_cast<char>('0' + fraction / 10 % 10),
                    static_cast<char>('0' + fraction % 10)};
    entry.count = fraction % 100 == 0 ? 1 : fraction % 10 == 0 ? 2 : 3;
  }
  return table;
}

constexpr std::array<FractionDigits, 1000> kFractionDigits = MakeFractionTable();

// Thousandths as "-12.345", ".5", "100": no "0" before the point, no trailing zeros.
char* WriteThousandths(char* out, Thousandths value) {
  if (value.magnitude == 0) {
    *out++ = '0';
    return out;
  }
  if (value.negative) *out++ = '-';
  const std::int64_t whole = value.magnitude / 1000;
  const auto fraction = static_cast<std::size_t>(value.magnitude % 1000);
  if (whole != 0) out = std::to_chars(out, out + 20, whole).ptr;
  if (fraction != 0) {
    const FractionDigits& digits = kFractionDigits[fraction];
    *out = '.';
    // All three digits are copied; only `count` of them are kept.
    std::memcpy(out + 1, digits.digits.data(), 3);
    out += 1 + digits.count;
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

std::string FormatCoord(double x) {
  std::array<char, kMaxNumberTextLength> text;
  return std::string(text.data(), FormatCoordTo(text.data(), x));
}

std::string FormatCoord(float x) {
  std::array<char, kMaxNumberTextLength> text;
  return std::string(text.data(), FormatCoordTo(text.data(), x));
}

std::string FormatCenterOffset(double x) {
  constexpr double kTenThousandths = 10000.0;
  const double scaled = std::round(x * kTenThousandths);
  if (!(std::fabs(scaled) < 1e15)) return FormatCoord(x);
  auto count = static_cast<std::int64_t>(scaled);
  if (count == 0) return "0";
  std::string text = count < 0 ? "-" : "";
  count = count < 0 ? -count : count;
  if (count >= 10000) text += std::to_string(count / 10000);
  std::string fraction = std::to_string(count % 10000 + 10000).substr(1);
  fraction.erase(fraction.find_last_not_of('0') + 1);
  if (!fraction.empty()) text += "." + fraction;
  return text;
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
