#pragma once

#include <cmath>

#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/numbers/round3.h"

namespace quorrel {

/// A 64-bit floating-point value of a generator's arithmetic. Every sum, difference, product and
/// quotient is checked where it is formed: a result that is not finite raises
/// ArithmeticFault(Overflow), a divisor of 0 raises ArithmeticFault(DivisionByZero). It has no
/// conversion to float, so no expression can slip into 32-bit arithmetic by accident.
class Float64 {
 public:
  constexpr Float64(double value) : value_(value) {}  // NOLINT: widening is always exact

  constexpr double value() const { return value_; }

 private:
  double value_;
};

/// A value stored narrowed to 32 bits (Tool Radius, Depth, ring offsets). It takes part in
/// arithmetic only widened exactly to Float64; a 32-bit value is made only by Narrow32.
class Float32 {
 public:
  constexpr explicit Float32(float value) : value_(value) {}

  constexpr float value() const { return value_; }
  constexpr operator Float64() const { return Float64(value_); }  // NOLINT: exact widening

 private:
  float value_;
};

[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseDivisionByZero();
[[noreturn]] void RaiseNarrowingOverflow();

inline Float64 CheckedResult(double result) {
  if (!std::isfinite(result)) RaiseOverflow();
  return Float64(result);
}

inline Float64 operator+(Float64 a, Float64 b) {
  return CheckedResult(a.value() + b.value());
}
inline Float64 operator-(Float64 a, Float64 b) {
  return CheckedResult(a.value() - b.value());
}
inline Float64 operator*(Float64 a, Float64 b) {
  return CheckedResult(a.value() * b.value());
}
inline Float64 operator/(Float64 a, Float64 b) {
  if (b.value() == 0.0) RaiseDivisionByZero();
  return CheckedResult(a.value() / b.value());
}

inline bool operator<(Float64 a, Float64 b) {
  return a.value() < b.value();
}
inline bool operator>(Float64 a, Float64 b) {
  return a.value() > b.value();
}
inline bool operator<=(Float64 a, Float64 b) {
  return a.value() <= b.value();
}
inline bool operator>=(Float64 a, Float64 b) {
  return a.value() >= b.value();
}

/// The 32-bit value nearest to x; raises ArithmeticFault(NarrowingOverflow) when x lies beyond
/// the largest 32-bit float (where the conversion would give infinity).
Float32 Narrow32(Float64 x);

/// True when the finite x narrows to a finite 32-bit float.
bool FitsFloat32(double x);

/// Round3 inside a generator's checked arithmetic.
inline Float64 Round3(Float64 x) {
  return Float64(Round3(x.value()));
}

}  // namespace quorrel
