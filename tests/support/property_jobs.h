#pragma once

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>

namespace quorrel::testing {

/// How many random jobs a property run checks: `ordinary`, or as many times that as
/// QUORREL_PROPERTY_JOBS says, for a longer run than CTest's.
inline int JobCount(int ordinary) {
  const char* scale = std::getenv("QUORREL_PROPERTY_JOBS");
  return scale == nullptr ? ordinary : ordinary * std::max(1, std::atoi(scale));
}

/// A number as a field's text of three decimals: "12.500".
inline std::string ThreeDecimals(double value) {
  char text[64];
  return std::string(
      text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3).ptr);
}

/// The number a text of ThreeDecimals, or a program's, says.
inline double WrittenValue(const std::string& text) {
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace quorrel::testing
