#include "gcode/estimate/run_time.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

#include "gcode/strategy/drill_cycle.h"

namespace quorrel {
namespace {

// How many moves each controller's planner looks ahead: GRBL 1.1's buffer holds 15 (16 slots,
// one always free); LinuxCNC's arc blending optimises 50 back by default.
constexpr std::size_t kGrblLookAhead = 15;
constexpr std::size_t kLinuxCncLookAhead = 50;
// An arc of more chords than this is planned as an even run of them.
constexpr long long kChordsOneByOne = 32;
// GRBL takes an arc's travel as a full turn where it is no more than this.
constexpr double kArcTravelEpsilon = 5e-7;

Vector3 Difference(const Vector3& to, const Vector3& from) {
  return {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
}

double Norm(const Vector3& v) {
  return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

Vector3 Scaled(const Vector3& v, double factor) {
  return {v[0] * factor, v[1] * factor, v[2] * factor};
}

// A number with one decimal: "754.3".
std::string OneDecimal(double value) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1).ptr;
  return std::string(text, end);
}

std::string Share(double part, double whole) {
  return OneDecimal(whole > 0.0 ? 100.0 * part / whole : 0.0) + " %";
}

}  // namespace

RunTimeEstimate::RunTimeEstimate(const MachineSettings& settings)
    : settings_(&settings),
      planner_(settings.motion,
               settings.dialect == Dialect::Grbl ? kGrblLookAhead : kLinuxCncLookAhead),
      chords_(settings.dialect == Dialect::Grbl) {}

void RunTimeEstimate::Title(const ProgramTitle&) {
  // A job's operations each bring their title; its spindle starts with its first operation.
  if (titled_ || job_) return;
  titled_ = true;
  // M3 waits for the motion before it, and the program waits for the spindle after it.
  if (settings_->spindle) planner_.Dwell(settings_->spindleDelay.value_or(0.0));
}

void RunTimeEstimate::StartOperation(const MachineSettings& settings, bool toolChange) {
  job_ = true;
  const bool spindleChanges = toolChange || settings.spindle != settings_->spindle || !started_;
  started_ = true;
  settings_ = &settings;
  // A change of tool or of the spindle's speed waits for the motion before it.
  if (spindleChanges) {
    planner_.Dwell(settings.spindle ? settings.spindleDelay.value_or(0.0) : 0.0);
  }
}

void RunTimeEstimate::Move(ToolMove& move) {
  if (move.kind == MoveKind::Drill) {
    // Timed as the moves of the cycle, which GRBL is given and LinuxCNC makes of it.
    ExpandDrill(move, settings_->units, *this);
    return;
  }
  if (move.kind == MoveKind::Dwell) {
    planner_.Dwell(move.seconds);
    return;
  }
  const Vector3 to{move.to.x, move.to.y, move.to.z};
  // Before the first move that says where the tool is, nothing is known of where it came from:
  // the time is counted from there.
  Vector3 from{move.from.x, move.from.y, move.from.z};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    if (std::isnan(from[axis])) from[axis] = known_ ? at_[axis] : to[axis];
  }
  const double feed = move.feed == MoveFeed::Plunging ? settings_->plungeFeed : settings_->feed;
  if (IsArc(move)) {
    Arc(move, from, to, feed);
  } else {
    Line(from, to, move.kind == MoveKind::Rapid, feed);
  }
  at_ = to;
  known_ = true;
  if (keeping_ == Keeping::AfterPlunge && move.role == MoveRole::Plunge) {
    keeping_ = Keeping::Cuts;
    planner_.Mark();
  } else if (keeping_ == Keeping::Cuts && (move.words & kWordZ) != 0) {
    keeping_ = Keeping::Off;  // a cut at another depth would not be the same
    planner_.Unmark();
  }
}

void RunTimeEstimate::End() {
  if (keeping_ == Keeping::Cuts) {
    keeping_ = Keeping::Kept;
    cutsEnd_ = at_;
  } else if (keeping_ == Keeping::AfterPlunge) {
    keeping_ = Keeping::Off;
  }
  planner_.Unmark();
}

void RunTimeEstimate::RepeatCuts() {
  planner_.JoinMarked();
  ++repeats_;
  at_ = cutsEnd_;
}

void RunTimeEstimate::Line(const Vector3& from, const Vector3& to, bool rapid, double feed) {
  const Vector3 delta = Difference(to, from);
  const double length = Norm(delta);
  if (!(length > 0.0)) return;
  PlannedMove line;
  line.startDirection = line.endDirection = Scaled(delta, 1.0 / length);
  line.length = length;
  line.feed = feed;
  line.rapid = rapid;
  planner_.Add(line);
}

void RunTimeEstimate::Arc(const ToolMove& arc, const Vector3& from, const Vector3& to,
                          double feed) {
  // About the centre the program says: from its start, as the controller reads I and J.
  const double centerX = from[0] + arc.offsetX;
  const double centerY = from[1] + arc.offsetY;
  const double startX = -arc.offsetX, startY = -arc.offsetY;
  const double endX = to[0] - centerX, endY = to[1] - centerY;
  const double radius = std::hypot(arc.offsetX, arc.offsetY);
  const bool clockwise = arc.kind == MoveKind::ArcClockwise;
  double travel = std::atan2(startX * endY - startY * endX, startX * endX + startY * endY);
  if (clockwise && travel >= -kArcTravelEpsilon) travel -= 2 * std::numbers::pi;
  if (!clockwise && travel <= kArcTravelEpsilon) travel += 2 * std::numbers::pi;
  const double rise = to[2] - from[2];
  if (!chords_) {
    const double length = std::hypot(travel * radius, rise);
    if (!(length > 0.0)) return;
    const double turn = clockwise ? -1.0 : 1.0;
    const auto tangent = [&](double x, double y) {
      return Vector3{-turn * y * std::fabs(travel) / length, turn * x * std::fabs(travel) / length,
                     rise / length};
    };
    PlannedMove whole;
    whole.startDirection = tangent(startX, startY);
    whole.endDirection = tangent(endX, endY);
    whole.length = length;
    whole.feed = feed;
    whole.radius = radius;
    planner_.Add(whole);
    return;
  }
  // As GRBL cuts it: chords whose middles lie within the arc tolerance of the arc, their ends on
  // it, the last ending exactly at the arc's end.
  const long long segments = ArcChords(travel, radius, settings_->motion.arcTolerance);
  const double count = static_cast<double>(segments);
  const double step = travel / count;  // the angle each chord turns through
  if (segments > kChordsOneByOne) {
    // The chords of a long arc run at one even speed, but where it comes in and goes out.
    const double planar = 2 * radius * std::sin(std::fabs(step) / 2);
    const double length = std::hypot(planar, rise / count);
    const ArcChordsAlong chords{
        startX, startY, radius, travel, clockwise, planar / length, rise / count / length};
    double minutes = 0.0;
    double acceleration = std::numeric_limits<double>::infinity();
    for (const MotionPlanner::Bounds& sample : RunBounds(chords, feed)) {
      minutes += planner_.SteadyMinutes(sample, length, std::fabs(step));
      acceleration = std::min(acceleration, sample.acceleration);
    }
    planner_.AddRun(chords.Direction(step / 2), chords.Direction(travel - step / 2), length,
                    minutes / static_cast<double>(kRunSamples), segments, acceleration);
    return;
  }
  // Each chord's end, turned from the one before by the same rotation.
  const double cosine = std::cos(step), sine = std::sin(step);
  double x = startX, y = startY;
  Vector3 at = from;
  for (long long k = 1; k < segments; ++k) {
    const double turnedX = x * cosine - y * sine;
    y = x * sine + y * cosine;
    x = turnedX;
    const Vector3 next{centerX + x, centerY + y, from[2] + rise * static_cast<double>(k) / count};
    Line(at, next, false, feed);
    at = next;
  }
  Line(at, to, false, feed);
}

Vector3 RunTimeEstimate::ArcChordsAlong::Direction(double angle) const {
  const double along = (clockwise ? -1.0 : 1.0) * planarShare / radius;
  return {along * (-startX * std::sin(angle) - startY * std::cos(angle)),
          along * (startX * std::cos(angle) - startY * std::sin(angle)), rising};
}

Vector3 RunTimeEstimate::ArcChordsAlong::Inward(double angle) const {
  return {-(startX * std::cos(angle) - startY * std::sin(angle)) / radius,
          -(startX * std::sin(angle) + startY * std::cos(angle)) / radius, 0.0};
}

const std::array<MotionPlanner::Bounds, RunTimeEstimate::kRunSamples>& RunTimeEstimate::RunBounds(
    const ArcChordsAlong& chords, double feed) {
  // A Fill's rings start and turn alike, at another radius each: what bounds their chords depends
  // on their directions alone.
  const double startAngle = std::atan2(chords.startY, chords.startX);
  const bool flat = chords.rising == 0.0;
  const auto same = [](double a, double b) { return std::fabs(a - b) <= 1e-9; };
  for (const KeptBounds& kept : keptBounds_) {
    if (kept.used && flat && same(kept.startAngle, startAngle) &&
        same(kept.travel, chords.travel) && kept.feed == feed) {
      return kept.bounds;
    }
  }
  KeptBounds& made = keptBounds_[nextKept_];
  nextKept_ = (nextKept_ + 1) % keptBounds_.size();
  made = {flat, startAngle, chords.travel, feed, {}};
  for (std::size_t i = 0; i < kRunSamples; ++i) {
    const double angle = chords.travel * (static_cast<double>(i) + 0.5) / kRunSamples;
    made.bounds[i] = planner_.BoundsAlong(chords.Direction(angle), chords.Inward(angle), feed);
  }
  return made.bounds;
}

long long ArcChords(double travel, double radius, double tolerance) {
  // Half a chord of an arc of `radius` whose middle lies `tolerance` inside it.
  const double halfChord = std::sqrt(tolerance * (2 * radius - tolerance));
  const double count =
      halfChord > 0.0 ? std::floor(std::fabs(0.5 * travel * radius) / halfChord) : 0.0;
  // Past ten million chords the arc is beyond any machine's work; it is still one move or more.
  return std::max(1LL, static_cast<long long>(std::min(count, 1e7)));
}

MotionTime RunTimeEstimate::Finish() {
  planner_.Stop();
  MotionTime time = planner_.time();
  // The repeated cuts, once the first pass's have all run.
  const MotionTime& cuts = planner_.markedTime();
  time.cutting += static_cast<double>(repeats_) * cuts.cutting;
  time.rapid += static_cast<double>(repeats_) * cuts.rapid;
  return time;
}

std::string HoursMinutesSeconds(double seconds) {
  // In tenths, so that 59.96 s is a whole minute, not "0 min 60.0 s".
  const auto tenths = static_cast<long long>(std::llround(seconds * 10.0));
  const long long hours = tenths / 36000;
  const long long minutes = tenths % 36000 / 600;
  return std::to_string(hours) + " h " + std::to_string(minutes) + " min " +
         OneDecimal(static_cast<double>(tenths % 600) / 10.0) + " s";
}

std::string RunTimeText(const MotionTime& time) {
  const double total = time.total();
  return "run time: " + OneDecimal(total) + " s (" + HoursMinutesSeconds(total) + "; cutting " +
         Share(time.cutting, total) + ", rapid " + Share(time.rapid, total) + ", dwell " +
         Share(time.dwell, total) + ")";
}

}  // namespace quorrel
