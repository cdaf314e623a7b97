// Any text a machinist could type: ParseFieldNumber either gives a finite number or raises an
// overflow fault, and that number's coordinate text is one the program reader accepts.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/numbers/number_text.h"
#include "gcode/numbers/parse_field_number.h"
#include "gcode/numbers/round3.h"
#include "gcode/program/program_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  double value = 0.0;
  try {
    value = quorrel::ParseFieldNumber(text);
  } catch (const quorrel::ArithmeticFault& fault) {
    if (fault.kind() != quorrel::FaultKind::Overflow) std::abort();
    return 0;
  }
  if (!std::isfinite(value)) std::abort();
  const double rounded = quorrel::Round3(value);
  // Half a thousandth at most, give or take the binary representation of the two values.
  const double representation = 4 * std::numeric_limits<double>::epsilon() * std::fabs(value);
  if (!std::isfinite(rounded) || std::fabs(rounded - value) > 0.0005 + representation) std::abort();
  if (std::fabs(value) < 1e15 && !quorrel::IsCoordText(quorrel::FormatCoord(value))) std::abort();
  return 0;
}
