#pragma once

#include <string_view>

namespace quorrel {

/// The number at the start of a field's text, read the way a machinist types it:
/// leading blanks, tabs and line feeds are skipped and blanks inside the number are ignored;
/// an optional sign, digits with at most one "." (never ","), an optional exponent with "E" or
/// "D"; "&H" or "&O" introduce a hexadecimal or octal integer. Reading stops at the first
/// character that does not fit, and a text that holds no number gives 0. Independent of the
/// locale.
/// ParseFieldNumber(" 10mm") == 10; ParseFieldNumber("1 000") == 1000;
/// ParseFieldNumber("2,5") == 2; ParseFieldNumber("1D3") == 1000; ParseFieldNumber("&HFF") == 255.
/// Raises ArithmeticFault(Overflow) for a number beyond the 64-bit range ("1e400"); one too
/// small to hold gives 0.
double ParseFieldNumber(std::string_view text);

}  // namespace quorrel
