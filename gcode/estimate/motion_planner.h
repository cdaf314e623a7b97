#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <optional>

#include "gcode/job/machine_settings.h"

namespace quorrel {

/// Where a move goes in space: X, Y and Z.
using Vector3 = std::array<double, 3>;

/// One move as a controller's motion planner takes it: a straight line, or for a controller that
/// plans arcs as arcs, a circular arc of `radius` with the directions of travel at its two ends.
struct PlannedMove {
  Vector3 startDirection{};  ///< unit vectors
  Vector3 endDirection{};
  double length = 0.0;  ///< units
  double feed = 0.0;    ///< units per minute, asked for; ignored for a rapid
  bool rapid = false;
  double radius = 0.0;  ///< above 0 for an arc planned whole
};

/// The highest speed, in units per minute, at which a controller runs from a move in the unit
/// direction `before` into one in `after`: as though round a circle that touches both and keeps
/// `motion`'s junction deviation from the corner, at the axes' acceleration across the corner.
/// 0 where the tool turns back; unbounded where it runs straight on.
double JunctionSpeed(const Vector3& before, const Vector3& after, const MotionSettings& motion);
/// Its square, as the planner works with it.
double JunctionSpeedSquared(const Vector3& before, const Vector3& after,
                            const MotionSettings& motion);

/// The time a program's motion takes, as a controller's look-ahead planner moves it, in seconds.
struct MotionTime {
  double cutting = 0.0;  ///< of the feed moves
  double rapid = 0.0;    ///< of the rapid moves
  double dwell = 0.0;    ///< waiting, with nothing moving
  double total() const { return cutting + rapid + dwell; }
};

/// Plans moves as a controller with a look-ahead of `window` moves does (GRBL 1.1 holds 15 in its
/// planner buffer): each move's speed limited by the axes' rates along it, its acceleration by
/// the axes' accelerations; the speed through each junction by the junction deviation and the
/// angle between the moves, and by either move's speed; every move a trapezoid (or a triangle)
/// of accelerating, running at speed and slowing down, so that the last move the planner holds
/// can always stop at its end. An arc planned whole keeps its speed within the acceleration its
/// curve leaves (LinuxCNC: the square root of 3 over 2 of it across, half along).
class MotionPlanner {
 public:
  MotionPlanner(const MotionSettings& motion, std::size_t window);

  void Add(const PlannedMove& move);
  /// What bounds a move in one direction: its speed (the feed within the axes' rates), its
  /// acceleration, and the acceleration across a junction turning towards `across`.
  struct Bounds {
    double nominal;             // units per minute
    double acceleration;        // units per minute squared
    double acrossAcceleration;  // units per minute squared
  };
  Bounds BoundsAlong(const Vector3& direction, const Vector3& across, double feed) const;
  /// The minutes one move of a long even run takes: each `length` long, bounded by `bounds`,
  /// turning from the one before by `turn` radians. Inside the run every move leaves as fast as it
  /// entered, held there by the feed, the axes, the junctions and the look-ahead over moves of its
  /// length.
  double SteadyMinutes(const Bounds& bounds, double length, double turn) const;
  /// A long run of `count` even straight moves, each `length` long and taking `minutesEach`:
  /// the chords of an arc, from `first` to `last`. It is planned as one move of the run's length
  /// at the speed that takes the run's time, speeding up and slowing down at `acceleration`.
  void AddRun(const Vector3& first, const Vector3& last, double length, double minutesEach,
              long long count, double acceleration);
  /// The machine comes to rest here: a dwell, a spindle started or stopped, the program's end.
  void Stop();
  /// Stops, then waits `seconds`.
  void Dwell(double seconds);

  const MotionTime& time() const { return time_; }

  /// Marks the moves added from now on, until Unmark, and counts their time apart too.
  void Mark();
  void Unmark();
  /// The time of the marked moves run so far.
  const MotionTime& markedTime() const { return marked_; }
  /// Where the marked moves stood, after the move that was added last: the next move joins them
  /// as it joined their first, and leaves them as their last left. Their time is the caller's to
  /// count (see markedTime).
  void JoinMarked();

 private:
  struct Block {
    double length;
    double nominalSqr;    // (units per minute)^2
    double acceleration;  // units per minute^2
    double maxEntrySqr;   // at its junction with the move before
    double reverseBound;  // maxEntrySqr plus the prefix of 2 a L before it: see ExitLimitSqr
    double prefix;        // the sum of 2 a L of the blocks before it since the last stop
    bool rapid;
    bool marked;
  };

  // Plans a move whose speed and acceleration are known.
  void Push(const PlannedMove& move, double nominal, double acceleration);
  // The highest speed squared at which the front block may leave, so that every block the
  // planner holds after it can still slow down to a stop at the last one's end.
  double ExitLimitSqr() const;
  void ExecuteFront();
  // Takes a block into the window, the tool then leaving in `leaving` at most at `nominalSqr`.
  void Append(const Block& block, const Vector3& leaving, double nominalSqr);

  MotionSettings motion_;
  std::size_t window_;
  std::deque<Block> blocks_;
  // Blocks after the front, by rising reverseBound: the front of it is the least.
  std::deque<std::size_t> bounds_;
  std::size_t executed_ = 0;  // blocks executed since the last stop: the front's index
  double prefixEnd_ = 0.0;    // the prefix after the last block
  double entrySqr_ = 0.0;     // the front block's entry speed squared
  bool atRest_ = true;
  Vector3 previousDirection_{};
  double previousNominalSqr_ = 0.0;
  MotionTime time_;
  bool marking_ = false;
  MotionTime marked_;
  // How the marked moves were joined and left: their first's limit at its entry, their last's
  // direction and speed.
  std::optional<double> markedEntrySqr_;
  Vector3 markedLeaving_{};
  double markedNominalSqr_ = 0.0;
};

}  // namespace quorrel
