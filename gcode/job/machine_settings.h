#pragma once

#include <optional>
#include <string_view>

namespace quorrel {

/// The controller a program is written for. Din is the window's own format; the others are
/// programs their controllers run as they stand.
enum class Dialect { Din, LinuxCnc, Grbl };

enum class Units { Millimetres, Inches };

/// How the cutter meets the material, with a clockwise spindle: climb milling keeps the material
/// on the cutter's right (counter-clockwise inside a contour, clockwise round the outside of a
/// part), conventional milling on its left.
enum class Direction { Climb, Conventional };

/// How each pass goes down into the material: straight down at its start, or down along the
/// path's own first moves.
enum class Entry { Plunge, Ramp };

/// What a controller program needs beyond the job: the machine's units and feeds, the height at
/// which the tool may travel, and how deep one pass may cut.
struct MachineSettings {
  Dialect dialect = Dialect::Din;
  Units units = Units::Millimetres;
  double feed = 0.0;               ///< of every cut, units per minute
  double plungeFeed = 0.0;         ///< of every move down into the material
  double safeZ = 0.0;              ///< clearance height of every rapid move across the work
  std::optional<double> stepDown;  ///< depth of cut per pass; the whole depth at once when absent
  std::optional<double> spindle;   ///< revolutions per minute, clockwise, when it is to be started
  std::optional<double> spindleDelay;  ///< seconds to wait after starting it, before any cut
  Direction direction = Direction::Climb;
  Entry entry = Entry::Plunge;
  double rampAngle = 3.0;  ///< the steepest descent of a ramp, in degrees from the horizontal

  bool operator==(const MachineSettings&) const = default;
};

/// The controller's name as messages say it: "LinuxCNC", "GRBL".
std::string_view DialectName(Dialect dialect);

/// True when closed paths run clockwise: climb round the outside of a part, or conventional
/// inside a contour.
bool CutsClockwise(Direction direction, bool outside);

/// The clearance height a machinist expects when none is given: 5 mm, or 0.2 inch.
double DefaultSafeZ(Units units);

}  // namespace quorrel
