#include "gcode/numbers/arithmetic_fault.h"

namespace quorrel {

const char* FaultName(FaultKind kind) {
  switch (kind) {
    case FaultKind::DivisionByZero:
      return "Division by zero";
    case FaultKind::RingCountOverflow:
      return "Ring count overflow";
    case FaultKind::Overflow:
      return "Overflow";
    case FaultKind::NarrowingOverflow:
      return "Overflow of a 32-bit value";
    case FaultKind::RingStepTooSmall:
      return "Ring step too small";
  }
  return "Arithmetic fault";
}

}  // namespace quorrel
