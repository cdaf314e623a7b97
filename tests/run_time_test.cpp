#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "gcode/estimate/motion_planner.h"
#include "gcode/estimate/run_time.h"

namespace quorrel {
namespace {

// GRBL's defaults, with axes fast enough that the feeds below are not clamped.
MotionSettings Fast() {
  MotionSettings motion = DefaultMotion(Units::Millimetres);
  motion.maxRate = {5000, 5000, 5000};
  return motion;
}

PlannedMove Straight(Vector3 direction, double length, double feed) {
  PlannedMove move;
  move.startDirection = move.endDirection = direction;
  move.length = length;
  move.feed = feed;
  return move;
}

double Seconds(const std::vector<PlannedMove>& moves, std::size_t window = 15) {
  MotionPlanner planner(Fast(), window);
  for (const PlannedMove& move : moves) planner.Add(move);
  planner.Stop();
  return planner.time().total();
}

// Each move from rest to rest, or through its junctions, against the time worked out by hand
// from the planner's rules: speed up and slow down at the acceleration, and through a corner no
// faster than its junction speed.
TEST(MotionPlanner, TakesTheTimeWorkedOutByHand) {
  const double a = 10.0 * 3600;  // mm per minute squared
  const struct {
    const char* what;
    std::vector<PlannedMove> moves;
    std::size_t window;
    double seconds;
  } rows[] = {
      // 10 mm at F300: half a second up to 5 mm/s, 7.5 mm at it, half a second down.
      {"a move that reaches its feed", {Straight({1, 0, 0}, 10, 300)}, 15, 2.5},
      // 1 mm at F3000 never gets there: up to the middle and down again, 2 sqrt(L / a).
      {"a short move", {Straight({1, 0, 0}, 1, 3000)}, 15, 2 * std::sqrt(1.0 / 10)},
      // Straight on through the junction: the same as one move of 20 mm.
      {"straight on",
       {Straight({1, 0, 0}, 10, 300), Straight({1, 0, 0}, 10, 300)},
       15,
       0.5 + 17.5 / 5 + 0.5},
      // Turning back stops at the junction: two moves from rest to rest.
      {"turning back", {Straight({1, 0, 0}, 10, 300), Straight({-1, 0, 0}, 10, 300)}, 15, 5.0},
      // 100 moves of 0.1 mm in a line at F3000: the speed at which the 14 moves after each can
      // still stop, sqrt(2 a 1.4 mm), for nearly all of them.
      {"short moves within the look-ahead",
       std::vector<PlannedMove>(1000, Straight({1, 0, 0}, 0.1, 3000)), 15,
       60 * 100 / std::sqrt(2 * a * 1.4)},
  };
  for (const auto& row : rows) {
    EXPECT_NEAR(Seconds(row.moves, row.window), row.seconds, row.seconds * 0.02) << row.what;
  }
}

TEST(MotionPlanner, GivesACornerItsJunctionSpeed) {
  const MotionSettings motion = Fast();
  const double root2 = std::numbers::sqrt2;
  const struct {
    Vector3 before, after;
    double speed;  // mm per minute
  } rows[] = {
      // A right angle: across it both axes accelerate, 10 sqrt(2) mm/s² together; the circle
      // 0.01 mm from the corner has a radius of 0.01 (1 + sqrt 2).
      {{1, 0, 0}, {0, 1, 0}, std::sqrt(10 * root2 * 3600 * 0.01 * (1 + root2))},
      // 45 degrees off: sin(67.5) / (1 - sin(67.5)) of the same.
      {{1, 0, 0},
       {1 / root2, 1 / root2, 0},
       std::sqrt(10 / std::sin(3 * std::numbers::pi / 8) * 3600 * 0.01 *
                 std::sin(3 * std::numbers::pi / 8) / (1 - std::sin(3 * std::numbers::pi / 8)))},
      {{1, 0, 0}, {-1, 0, 0}, 0.0},
  };
  for (const auto& row : rows) {
    EXPECT_NEAR(JunctionSpeed(row.before, row.after, motion), row.speed, 1e-6 * (1 + row.speed));
  }
  EXPECT_TRUE(std::isinf(JunctionSpeed({0, 1, 0}, {0, 1, 0}, motion)));
}

TEST(ArcChords, FollowTheArcTolerance) {
  const struct {
    double travel, radius, tolerance;
    long long chords;
  } rows[] = {
      // Half a turn of radius 10: 15.7 mm, in chords of 2 sqrt(0.002 x 19.998) = 0.4 mm.
      {std::numbers::pi, 10, 0.002, 78},
      {std::numbers::pi / 2, 1, 0.002, 12},
      {-std::numbers::pi / 2, 1, 0.002, 12},
      {2 * std::numbers::pi, 10, 0.02, 49},
      // An arc shorter than one chord, or of no radius, is one move.
      {0.01, 1, 0.002, 1},
      {std::numbers::pi, 0, 0.002, 1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ArcChords(row.travel, row.radius, row.tolerance), row.chords)
        << row.travel << " " << row.radius;
  }
}

// The spindle's delay is counted as waiting, and the text gives it its share.
TEST(RunTimeEstimate, CountsTheSpindleDelayAndSaysEachShare) {
  MachineSettings settings;
  settings.dialect = Dialect::Grbl;
  settings.feed = settings.plungeFeed = 300;
  settings.spindle = 12000;
  settings.spindleDelay = 2.5;
  settings.motion = Fast();
  RunTimeEstimate estimate(settings);
  estimate.Title({"rectangle H10 x W10"});
  ToolMove cut;
  cut.from = {Coord::Of(0.0), Coord::Of(0.0), Coord::Of(-1.0)};
  cut.to = {Coord::Of(10.0), Coord::Of(0.0), Coord::Of(-1.0)};
  cut.words = kWordX;
  estimate.Move(cut);
  const MotionTime time = estimate.Finish();
  EXPECT_NEAR(time.dwell, 2.5, 1e-9);
  EXPECT_NEAR(time.cutting, 2.5, 1e-9);
  EXPECT_EQ(RunTimeText(time),
            "run time: 5.0 s (0 h 0 min 5.0 s; cutting 50.0 %, rapid 0.0 %, dwell 50.0 %)");
  EXPECT_EQ(HoursMinutesSeconds(3 * 3600 + 25 * 60 + 59.96), "3 h 26 min 0.0 s");
}

}  // namespace
}  // namespace quorrel
