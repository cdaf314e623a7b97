#include "gcode/numbers/parse_field_number.h"

#include <charconv>
#include <cstdint>
#include <string>

#include "gcode/numbers/arithmetic_fault.h"

namespace quorrel {
namespace {

// Decimal exponents beyond these are out of the double range whatever the digits.
constexpr std::int64_t kBeyondLargest = 310;
constexpr std::int64_t kBelowSmallest = -345;
constexpr std::int64_t kExponentCap = 1'000'000'000;

[[noreturn]] void RaiseFieldOverflow() {
  throw ArithmeticFault(FaultKind::Overflow, "The number is too large to compute with.");
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the text one character at a time, passing over the blanks that may stand inside a number.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  void SkipLeadingSpace() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n'))
      ++pos_;
  }
  char Peek() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  void Advance() { ++pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

double FromHexDigits(const std::string& hex) {
  const std::size_t first = hex.find_first_not_of('0');
  if (first == std::string::npos) return 0.0;
  constexpr std::size_t kMostHexDigits = 256;  // 1024 bits: beyond every double
  if (hex.size() - first > kMostHexDigits) RaiseFieldOverflow();
  double value = 0.0;
  const auto result =
      std::from_chars(hex.data() + first, hex.data() + hex.size(), value, std::chars_format::hex);
  if (result.ec != std::errc()) RaiseFieldOverflow();
  return value;
}

double ReadBasedInteger(Cursor& cursor) {
  const char base = cursor.Peek();
  if (base != 'H' && base != 'h' && base != 'O' && base != 'o') return 0.0;
  cursor.Advance();
  const bool octal = base == 'O' || base == 'o';

  // Octal digits become bits, the bits hexadecimal digits: one exact conversion serves both.
  std::string hex;
  std::string bits;
  for (char c = cursor.Peek(); c != '\0'; c = cursor.Peek()) {
    const int digit = HexValue(c);
    if (digit < 0 || (octal && digit > 7)) break;
    if (octal) {
      for (int bit = 2; bit >= 0; --bit) bits += static_cast<char>('0' + ((digit >> bit) & 1));
    } else {
      hex += c;
    }
    cursor.Advance();
  }
  if (octal) {
    bits.insert(0, (4 - bits.size() % 4) % 4, '0');
    for (std::size_t i = 0; i < bits.size(); i += 4) {
      const int nibble = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                         (bits[i + 3] - '0');
      hex += "0123456789abcdef"[nibble];
    }
  }
  return FromHexDigits(hex);
}

double ReadDecimal(Cursor& cursor) {
  bool negative = false;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    negative = cursor.Peek() == '-';
    cursor.Advance();
  }
  std::string digits;  // integer and fraction digits, without the point
  std::int64_t integerDigits = 0;
  bool seenPoint = false;
  for (char c = cursor.Peek(); IsDigit(c) || (c == '.' && !seenPoint); c = cursor.Peek()) {
    if (c == '.') {
      seenPoint = true;
    } else {
      digits += c;
      if (!seenPoint) ++integerDigits;
    }
    cursor.Advance();
  }
  if (digits.empty()) return 0.0;

  std::int64_t exponent = 0;
  const char letter = cursor.Peek();
  if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
    cursor.Advance();
    bool negativeExponent = false;
    if (cursor.Peek() == '+' || cursor.Peek() == '-') {
      negativeExponent = cursor.Peek() == '-';
      cursor.Advance();
    }
    for (char c = cursor.Peek(); IsDigit(c); c = cursor.Peek()) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (c - '0');
      cursor.Advance();
    }
    if (negativeExponent) exponent = -exponent;
  }

  const double zero = negative ? -0.0 : 0.0;
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return zero;
  // The decimal exponent of the first significant digit.
  const std::int64_t leading = integerDigits - static_cast<std::int64_t>(first) - 1 + exponent;
  if (leading > kBeyondLargest) RaiseFieldOverflow();
  if (leading < kBelowSmallest) return zero;

  std::string canonical = negative ? "-0." : "0.";
  canonical.append(digits, first);
  canonical += 'e';
  canonical += std::to_string(leading + 1);
  double value = 0.0;
  const auto result = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (leading > 0) RaiseFieldOverflow();
    return zero;
  }
  return value;
}

}  // namespace

double ParseFieldNumber(std::string_view text) {
  Cursor cursor(text);
  cursor.SkipLeadingSpace();
  if (cursor.Peek() == '&') {
    cursor.Advance();
    return ReadBasedInteger(cursor);
  }
  return ReadDecimal(cursor);
}

}  // namespace quorrel
