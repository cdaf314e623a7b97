#include "gcode/numbers/ordinary_number.h"

#include <charconv>
#include <cmath>

namespace quorrel {

std::optional<double> OrdinaryNumber(std::string_view text) {
  double value = 0.0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace quorrel
