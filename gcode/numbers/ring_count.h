#pragma once

#include <cstdint>

namespace quorrel {

/// x rounded to the nearest integer, a half going to the even one, as a 16-bit signed count.
/// RingCount(2.5) == 2; RingCount(3.5) == 4; RingCount(-0.5) == 0.
/// Raises ArithmeticFault(RingCountOverflow) when the result lies outside -32768...32767.
std::int16_t RingCount(double x);

}  // namespace quorrel
