#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "gcode/byte_sink.h"
#include "gcode/job_parameters.h"
#include "gcode/program_reader.h"
#include "gcode/write_program.h"

namespace quorrel {
namespace {

// Rounding every coordinate to 3 decimals moves it by at most half a thousandth.
constexpr double kWriteTolerance = 0.0015;

std::string ThreeDecimals(double value) {
  char text[64];
  return std::string(
      text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3).ptr);
}

struct RandomPocket {
  FieldTexts texts;
  JobParameters job;
};

// An ordinary pocket: both sides above twice the tool radius, the corner radius at most half the
// short side.
RandomPocket MakePocket(std::mt19937_64& random, ShapeKind shape) {
  std::uniform_real_distribution<double> centre(-500.0, 500.0);
  std::uniform_real_distribution<double> side(1.0, 400.0);
  std::uniform_real_distribution<double> share(0.0, 1.0);
  RandomPocket pocket;
  FieldTexts& texts = pocket.texts;
  const double width = side(random);
  const double height = shape == ShapeKind::Circle ? width : side(random);
  const double shortSide = std::min(width, height);
  texts.CenterXText = ThreeDecimals(centre(random));
  texts.CenterYText = ThreeDecimals(centre(random));
  texts.WidthText = ThreeDecimals(width);
  texts.HeightText = ThreeDecimals(height);
  texts.RadiusText =
      ThreeDecimals(shape == ShapeKind::Circle ? width / 2 : share(random) * shortSide / 2);
  // From about a hundredth of the short side up to just under half of it.
  texts.ToolRadiusText =
      ThreeDecimals(std::max(0.01, shortSide * (0.005 + 0.49 * std::pow(share(random), 3))));
  texts.DepthText = ThreeDecimals(-share(random) * 10);
  pocket.job = MakeJobParameters(texts, shape, true);
  return pocket;
}

ReadBackProgram WriteAndRead(const RandomPocket& pocket) {
  std::string bytes;
  ProgramWriter writer(std::make_unique<StringSink>(bytes));
  WriteProgram(pocket.job, pocket.texts, writer, ".");
  return ReadProgram(bytes);
}

// The box the tool centre must keep to: the shape inset by the tool radius.
struct PathBox {
  double left, bottom, right, top;
};

PathBox OutlinePathBox(const JobParameters& job) {
  const double T = job.ToolRadius;
  if (job.ShapeKind == ShapeKind::Circle) {
    return {job.CenterX - job.CornerRadius + T, job.CenterY, job.CenterX + job.CornerRadius - T,
            job.CenterY};
  }
  return {job.CenterX - job.Width / 2 + T, job.CenterY - job.Height / 2 + T,
          job.CenterX + job.Width / 2 - T, job.CenterY + job.Height / 2 - T};
}

void ExpectCutsInsideAndReachingTheOutlinePath(const RandomPocket& pocket) {
  const JobParameters& job = pocket.job;
  const ReadBackProgram program = WriteAndRead(pocket);
  const PathBox box = OutlinePathBox(job);
  PathBox reached{1e300, 1e300, -1e300, -1e300};
  ASSERT_GE(program.moves.size(), 2U);
  const double depth = program.moves[1].to.z;  // the plunge
  for (const ToolMove& move : program.moves) {
    if (move.kind == MoveKind::Rapid || move.to.z != depth) continue;
    const double x = move.to.x;
    const double y = move.to.y;
    if (job.ShapeKind == ShapeKind::Circle) {
      EXPECT_LE(std::hypot(x - job.CenterX, y - job.CenterY),
                job.CornerRadius - job.ToolRadius + kWriteTolerance)
          << "line " << move.line;
    } else {
      EXPECT_GE(x, box.left - kWriteTolerance) << "line " << move.line;
      EXPECT_LE(x, box.right + kWriteTolerance) << "line " << move.line;
      EXPECT_GE(y, box.bottom - kWriteTolerance) << "line " << move.line;
      EXPECT_LE(y, box.top + kWriteTolerance) << "line " << move.line;
    }
    reached = {std::min(reached.left, x), std::min(reached.bottom, y), std::max(reached.right, x),
               std::max(reached.top, y)};
  }
  // The last ring runs on the outline path, so the cuts reach every side of it.
  EXPECT_NEAR(reached.left, box.left, kWriteTolerance);
  EXPECT_NEAR(reached.right, box.right, kWriteTolerance);
  if (job.ShapeKind != ShapeKind::Circle) {
    EXPECT_NEAR(reached.bottom, box.bottom, kWriteTolerance);
    EXPECT_NEAR(reached.top, box.top, kWriteTolerance);
  }
}

class RandomPockets : public ::testing::TestWithParam<ShapeKind> {};

TEST_P(RandomPockets, KeepTheToolInsideAndReachTheWall) {
  std::mt19937_64 random(20261208 + static_cast<int>(GetParam()));
  for (int job = 0; job < 1500; ++job) {
    const RandomPocket pocket = MakePocket(random, GetParam());
    SCOPED_TRACE("W=" + pocket.texts.WidthText + " H=" + pocket.texts.HeightText +
                 " R=" + pocket.texts.RadiusText + " T=" + pocket.texts.ToolRadiusText);
    ExpectCutsInsideAndReachingTheOutlinePath(pocket);
    if (HasFailure()) return;
  }
}

std::string ShapeName(const ::testing::TestParamInfo<ShapeKind>& row) {
  const char* const kNames[] = {"Rectangle", "Circle", "RoundedRectangle"};
  return kNames[static_cast<int>(row.param)];
}

INSTANTIATE_TEST_SUITE_P(Shapes, RandomPockets,
                         ::testing::Values(ShapeKind::Rectangle, ShapeKind::Circle,
                                           ShapeKind::RoundedRectangle),
                         ShapeName);

}  // namespace
}  // namespace quorrel
