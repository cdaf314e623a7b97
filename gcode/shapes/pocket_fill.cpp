#include "gcode/shapes/pocket_fill.h"

#include <string>

#include "gcode/numbers/number_text.h"
#include "gcode/numbers/ring_count.h"

namespace quorrel {

namespace {

// The spacing as the machinist chose it: "1.5 x Tool Radius" in the window's words, or with its
// share of the diameter.
std::string SpacingWords(double percent) {
  const std::string factor = FormatNumberPlain(percent / 50.0, ".") + " x Tool Radius";
  if (percent == kWindowStepover) return factor;
  return factor + " (" + FormatNumberPlain(percent, ".") + " % of the tool's diameter)";
}

}  // namespace

std::int16_t StepsWithin(Float64 room, Float64 stepOver, double percent) {
  if (stepOver.value() == 0.0) {
    throw ArithmeticFault(FaultKind::DivisionByZero, "Fill spaces its rings " +
                                                         SpacingWords(percent) +
                                                         " apart, and a Tool Radius of 0 gives "
                                                         "no spacing.");
  }
  const double steps = (room / stepOver).value();
  if (percent == kWindowStepover) return RingCount(steps);
  try {
    return RingCount(steps);
  } catch (const ArithmeticFault&) {
    throw ArithmeticFault(FaultKind::RingCountOverflow,
                          "The pocket needs more rings than a program can hold (at most 32767) "
                          "with rings " +
                              SpacingWords(percent) +
                              " apart. Use a larger stepover, a larger Tool Radius or a smaller "
                              "shape.");
  }
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
