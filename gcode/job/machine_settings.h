#pragma once

#include <array>
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

/// How fast a controller moves each axis and how hard it accelerates, in the machine's units,
/// named as GRBL numbers them: what decides how long a program runs. LinuxCNC's INI file holds
/// the same as each axis's MAX_VELOCITY (per second there) and MAX_ACCELERATION.
struct MotionSettings {
  std::array<double, 3> maxRate;       ///< X, Y, Z, units per minute ($110 to $112)
  std::array<double, 3> acceleration;  ///< X, Y, Z, units per second squared ($120 to $122)
  double junctionDeviation;            ///< how far a corner may be rounded at speed ($11)
  double arcTolerance;                 ///< how far a chord of an arc may leave it ($12)

  bool operator==(const MotionSettings&) const = default;
};

/// GRBL 1.1's own defaults: 500 mm/min, 10 mm/s², a junction deviation of 0.010 mm and an arc
/// tolerance of 0.002 mm; in inches for an inch machine.
constexpr MotionSettings DefaultMotion(Units units) {
  const double unit = units == Units::Inches ? 25.4 : 1.0;
  return {{500 / unit, 500 / unit, 500 / unit},
          {10 / unit, 10 / unit, 10 / unit},
          0.010 / unit,
          0.002 / unit};
}

/// How holes are drilled: straight to the depth in one feed, or in pecks, each retracting fully
/// to clear the chips or, with chipBreak, a little to break them; a dwell at the bottom; and the
/// height above the work surface at which each hole starts and pecks retract. Lengths in the
/// machine's units.
struct DrillSettings {
  std::optional<double> peck;      ///< each feed into new material at most this
  bool chipBreak = false;          ///< with a peck: a short retract instead of a full one
  std::optional<double> dwell;     ///< seconds at the bottom of each hole
  std::optional<double> retractZ;  ///< the retract height; see DefaultRetractZ where absent

  bool operator==(const DrillSettings&) const = default;
};

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
  /// How the controller moves, for the estimate of the run time; in the machine's units.
  MotionSettings motion = DefaultMotion(Units::Millimetres);
  DrillSettings drill;

  bool operator==(const MachineSettings&) const = default;
};

/// True when closed paths run clockwise: climb round the outside of a part, or conventional
/// inside a contour.
bool CutsClockwise(Direction direction, bool outside);

/// The clearance height a machinist expects when none is given: 5 mm, or 0.2 inch.
double DefaultSafeZ(Units units);
/// The height above the work surface at which a hole starts when none is given: 1 mm, or 0.04
/// inch.
double DefaultRetractZ(Units units);

}  // namespace quorrel
