#pragma once

#include <stdexcept>
#include <string>

namespace quorrel {

/// The arithmetic faults that stop a program part-way.
enum class FaultKind {
  DivisionByZero,     ///< a quotient whose divisor is 0 (Fill with a Tool Radius of 0)
  RingCountOverflow,  ///< a ring count outside -32768...32767
  Overflow,           ///< a 64-bit result that is not a finite number, or a field beyond range
  NarrowingOverflow,  ///< a value too large for the 32-bit number that must hold it
  RingStepTooSmall,   ///< a ring step that rounds to nothing, so the rings would never end
};

/// Raised where the fault happens; the save it stops writes nothing, and a file there keeps what
/// it held. The message says what went wrong in a machinist's words.
class ArithmeticFault : public std::runtime_error {
 public:
  ArithmeticFault(FaultKind kind, const std::string& message)
      : std::runtime_error(message), kind_(kind) {}

  FaultKind kind() const noexcept { return kind_; }

 private:
  FaultKind kind_;
};

/// A short name of the fault for messages: "Division by zero", "Overflow", ...
const char* FaultName(FaultKind kind);

}  // namespace quorrel
