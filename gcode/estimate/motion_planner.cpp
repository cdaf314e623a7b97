#include "gcode/estimate/motion_planner.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorrel {
namespace {

constexpr double kUnbounded = std::numeric_limits<double>::infinity();
constexpr double kSecondsPerMinute = 60.0;
// A straight junction, or one turning back on itself, within this cosine.
constexpr double kStraight = 0.999999;
// LinuxCNC keeps an arc's acceleration across it within the square root of 3 over 2 of the
// axes', and along it within half.
constexpr double kArcNormalShare = 0.8660254037844386;
constexpr double kArcTangentialShare = 0.5;

double Dot(const Vector3& a, const Vector3& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The most of `limits` (one for each axis) along the unit vector `direction`: no axis's
// component of it above its own limit.
double AlongDirection(const std::array<double, 3>& limits, const Vector3& direction) {
  double most = kUnbounded;
  for (std::size_t axis = 0; axis < 3; ++axis) {
    const double share = std::fabs(direction[axis]);
    if (share > 1e-12) most = std::min(most, limits[axis] / share);
  }
  return most;
}

// The minutes a move of `length` takes from entry to exit speed (squared), speeding up and
// slowing down at `acceleration` and running at `nominal` between, where it has room to reach it.
double Minutes(double entrySqr, double exitSqr, double nominal, double acceleration,
               double length) {
  const double entry = std::sqrt(entrySqr);
  const double exit = std::sqrt(exitSqr);
  const double speeding = (nominal * nominal - entrySqr) / (2 * acceleration);
  const double slowing = (nominal * nominal - exitSqr) / (2 * acceleration);
  if (speeding + slowing <= length) {
    return (nominal - entry) / acceleration + (nominal - exit) / acceleration +
           (length - speeding - slowing) / nominal;
  }
  const double peak = std::sqrt(
      std::max((2 * acceleration * length + entrySqr + exitSqr) / 2, std::max(entrySqr, exitSqr)));
  return (peak - entry) / acceleration + (peak - exit) / acceleration;
}

}  // namespace

double JunctionSpeed(const Vector3& before, const Vector3& after, const MotionSettings& motion) {
  return std::sqrt(JunctionSpeedSquared(before, after, motion));
}

double JunctionSpeedSquared(const Vector3& before, const Vector3& after,
                            const MotionSettings& motion) {
  const double cosine = -Dot(before, after);
  if (cosine > kStraight) return 0.0;
  if (cosine < -kStraight) return kUnbounded;
  Vector3 turn{};
  for (std::size_t axis = 0; axis < 3; ++axis) turn[axis] = after[axis] - before[axis];
  // Across the corner the axes accelerate along the turn: its size divides out of the limit.
  const double size = std::sqrt(Dot(turn, turn));
  const double sinHalf = std::sqrt(0.5 * (1.0 - cosine));
  const double acrossCorner =
      AlongDirection(motion.acceleration, turn) * size * kSecondsPerMinute * kSecondsPerMinute;
  return acrossCorner * motion.junctionDeviation * sinHalf / (1.0 - sinHalf);
}

MotionPlanner::MotionPlanner(const MotionSettings& motion, std::size_t window)
    : motion_(motion), window_(std::max<std::size_t>(window, 1)) {}

void MotionPlanner::Add(const PlannedMove& move) {
  if (!(move.length > 0.0)) return;
  constexpr double kPerMinuteSquared = kSecondsPerMinute * kSecondsPerMinute;
  double nominal = move.rapid ? kUnbounded : move.feed;
  double acceleration = kUnbounded;
  if (move.radius > 0.0) {
    // Round an arc the direction turns through the plane: the slower of its two axes bounds it,
    // and its curve takes a share of their acceleration.
    const double rate = std::min(motion_.maxRate[0], motion_.maxRate[1]);
    const double plane =
        std::min(motion_.acceleration[0], motion_.acceleration[1]) * kPerMinuteSquared;
    nominal = std::min({nominal, rate, std::sqrt(kArcNormalShare * plane * move.radius)});
    const Vector3 rise{0.0, 0.0, move.startDirection[2]};
    nominal = std::min(nominal, AlongDirection(motion_.maxRate, rise));
    acceleration = kArcTangentialShare * plane;
  } else {
    nominal = std::min(nominal, AlongDirection(motion_.maxRate, move.startDirection));
    acceleration = AlongDirection(motion_.acceleration, move.startDirection) * kPerMinuteSquared;
  }
  Push(move, std::max(nominal, 1e-6), acceleration);
}

void MotionPlanner::Push(const PlannedMove& move, double nominal, double acceleration) {
  double junctionSqr = 0.0;  // from rest
  if (!atRest_) {
    junctionSqr = JunctionSpeedSquared(previousDirection_, move.startDirection, motion_);
  }
  const double nominalSqr = nominal * nominal;
  const double maxEntrySqr = std::min({junctionSqr, nominalSqr, previousNominalSqr_});

  Block block{move.length, nominalSqr, acceleration, maxEntrySqr,
              0.0,         prefixEnd_, move.rapid,   marking_};
  if (marking_ && !markedEntrySqr_) markedEntrySqr_ = maxEntrySqr;
  block.reverseBound = maxEntrySqr + block.prefix;
  prefixEnd_ += 2 * acceleration * move.length;
  Append(block, move.endDirection, nominalSqr);
}

void MotionPlanner::Append(const Block& block, const Vector3& leaving, double nominalSqr) {
  const std::size_t index = executed_ + blocks_.size();
  while (!bounds_.empty() &&
         blocks_[bounds_.back() - executed_].reverseBound >= block.reverseBound) {
    bounds_.pop_back();
  }
  blocks_.push_back(block);
  bounds_.push_back(index);
  atRest_ = false;
  previousDirection_ = leaving;
  previousNominalSqr_ = nominalSqr;
  if (blocks_.size() >= window_) ExecuteFront();
}

MotionPlanner::Bounds MotionPlanner::BoundsAlong(const Vector3& direction, const Vector3& across,
                                                 double feed) const {
  constexpr double kPerMinuteSquared = kSecondsPerMinute * kSecondsPerMinute;
  return {std::min(feed, AlongDirection(motion_.maxRate, direction)),
          AlongDirection(motion_.acceleration, direction) * kPerMinuteSquared,
          AlongDirection(motion_.acceleration, across) * kPerMinuteSquared};
}

double MotionPlanner::SteadyMinutes(const Bounds& bounds, double length, double turn) const {
  // The junction as JunctionSpeedSquared takes it: the half angle between the moves' directions,
  // one reversed, is a right angle less half the turn.
  const double sinHalf = std::cos(turn / 2);
  const double junctionSqr =
      sinHalf < kStraight
          ? bounds.acrossAcceleration * motion_.junctionDeviation * sinHalf / (1.0 - sinHalf)
          : kUnbounded;
  // Each move may leave no faster than the moves the planner holds after it can stop in.
  const double lookAhead = static_cast<double>(window_ - 1) * 2 * bounds.acceleration * length;
  const double steadySqr = std::min({bounds.nominal * bounds.nominal, junctionSqr, lookAhead});
  return Minutes(steadySqr, steadySqr, bounds.nominal, bounds.acceleration, length);
}

void MotionPlanner::AddRun(const Vector3& first, const Vector3& last, double length,
                           double minutesEach, long long count, double acceleration) {
  PlannedMove run;
  run.startDirection = first;
  run.endDirection = last;
  run.length = static_cast<double>(count) * length;
  // Its speed is the run's own, within every bound of its moves already.
  Push(run, length / minutesEach, acceleration);
}

double MotionPlanner::ExitLimitSqr() const {
  // Planned back from a stop at the last block's end, block by block, a block's entry is the
  // least of its own limit and its exit plus what it can slow down over its length. Unrolled,
  // the front's exit is the least, over the blocks after it, of each one's limit plus all the
  // slowing down before it, or of all the slowing down there is: the blocks' limits plus their
  // prefixes are kept in order, so that the least is at hand.
  const Block& front = blocks_.front();
  const double afterFront = front.prefix + 2 * front.acceleration * front.length;
  double least = prefixEnd_;
  if (!bounds_.empty() && bounds_.front() != executed_) {
    least = std::min(least, blocks_[bounds_.front() - executed_].reverseBound);
  } else if (bounds_.size() > 1) {
    least = std::min(least, blocks_[bounds_[1] - executed_].reverseBound);
  }
  return std::max(least - afterFront, 0.0);
}

void MotionPlanner::ExecuteFront() {
  const Block& front = blocks_.front();
  const double exitSqr =
      std::min(ExitLimitSqr(), entrySqr_ + 2 * front.acceleration * front.length);
  const double seconds =
      front.length > 0.0
          ? kSecondsPerMinute * Minutes(entrySqr_, exitSqr, std::sqrt(front.nominalSqr),
                                        front.acceleration, front.length)
          : 0.0;
  (front.rapid ? time_.rapid : time_.cutting) += seconds;
  if (front.marked) (front.rapid ? marked_.rapid : marked_.cutting) += seconds;
  if (!bounds_.empty() && bounds_.front() == executed_) bounds_.pop_front();
  blocks_.pop_front();
  ++executed_;
  entrySqr_ = exitSqr;
}

void MotionPlanner::Mark() {
  marking_ = true;
  markedEntrySqr_.reset();
}

void MotionPlanner::Unmark() {
  if (marking_) {
    markedLeaving_ = previousDirection_;
    markedNominalSqr_ = previousNominalSqr_;
  }
  marking_ = false;
}

void MotionPlanner::JoinMarked() {
  if (!markedEntrySqr_) return;
  // A move of no length stands for them: the speed through it no more than their entry allowed.
  const double limitSqr = std::min(*markedEntrySqr_, atRest_ ? 0.0 : kUnbounded);
  Block block{0.0, kUnbounded, 1.0, limitSqr, 0.0, prefixEnd_, false, false};
  block.reverseBound = limitSqr + block.prefix;
  Append(block, markedLeaving_, markedNominalSqr_);
}

void MotionPlanner::Stop() {
  while (!blocks_.empty()) ExecuteFront();
  bounds_.clear();
  executed_ = 0;
  prefixEnd_ = 0.0;
  entrySqr_ = 0.0;
  atRest_ = true;
}

void MotionPlanner::Dwell(double seconds) {
  Stop();
  time_.dwell += seconds;
}

}  // namespace quorrel
