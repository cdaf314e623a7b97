#include "gcode/pocket_fill.h"

#include "gcode/ring_count.h"

namespace quorrel {

std::int16_t StepsWithin(Float64 room, Float64 stepOver) {
  if (stepOver.value() == 0.0) {
    throw ArithmeticFault(FaultKind::DivisionByZero,
                          "Fill spaces its rings 1.5 x Tool Radius apart, and a Tool Radius of 0 "
                          "gives no spacing.");
  }
  return RingCount((room / stepOver).value());
}

void RaiseRingStepTooSmall() {
  throw ArithmeticFault(FaultKind::RingStepTooSmall,
                        "The ring step rounds to 0 at the program's 3 decimals, so the rings "
                        "would never reach the wall.");
}

Float64 RingRoom(const RectanglePath& rectangle) {
  const Float64 shortSide =
      rectangle.width >= rectangle.height ? rectangle.height : rectangle.width;
  return shortSide / 2.0 - rectangle.toolRadius;
}

}  // namespace quorrel
