#pragma once

namespace quorrel {

/// The value rounded to 3 decimal places: the correctly rounded decimal rounding of the exact
/// binary value, a value exactly half-way going to the even last digit.
/// Round3(0.0625) == 0.062; Round3(0.1875) == 0.188; Round3(2.0005) == 2.001 (2.0005 is held as
/// 2.000500000000000078...). Finite input gives finite output.
double Round3(double x);

}  // namespace quorrel
