#include "gcode/job/machine_settings.h"

namespace quorrel {

bool CutsClockwise(Direction direction, bool outside) {
  // With a clockwise spindle, climb milling keeps the material on the cutter's right: inside a
  // contour that is counter-clockwise, round the outside of a part clockwise.
  return (direction == Direction::Conventional) != outside;
}

double DefaultSafeZ(Units units) {
  return units == Units::Inches ? 0.2 : 5.0;
}

double DefaultRetractZ(Units units) {
  return units == Units::Inches ? 0.04 : 1.0;
}

}  // namespace quorrel
