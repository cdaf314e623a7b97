// Properties that every program must have, checked over many random jobs: each program is
// written, read back as the machine would read it, and measured.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <numbers>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <tuple>

#include "gcode/estimate/run_time.h"
#include "gcode/job/dialect_profile.h"
#include "gcode/job/job_parameters.h"
#include "gcode/numbers/number_text.h"
#include "gcode/output/byte_sink.h"
#include "gcode/preview/toolpath_drawing.h"
#include "gcode/program/controller_program.h"
#include "gcode/program/program_reader.h"
#include "gcode/program/window_program_writer.h"
#include "gcode/save/write_job.h"
#include "gcode/shapes/operation.h"
#include "gcode/shapes/outside_profile.h"
#include "gcode/strategy/cutting_strategy.h"
#include "gcode/strategy/pass_depths.h"
#include "gcode/strategy/tab_plan.h"
#include "gcode/toolpath/contour.h"
#include "gcode/toolpath/contour_walk.h"
#include "gcode/toolpath/kept_toolpath.h"
#include "gcode/toolpath/program_unit_stages.h"
#include "gcode/toolpath/toolpath_recording.h"
#include "tests/support/case_name.h"
#include "tests/support/controller_checks.h"
#include "tests/support/property_jobs.h"
#include "tests/support/swept_area.h"

namespace quorrel {
namespace {

// Rounding a coordinate to 3 decimals moves it by at most half a thousandth; a point, with both
// its coordinates rounded, by a little more. The last term absorbs the test's own arithmetic.
constexpr double kWriteTolerance = 0.0015 + 1e-9;
constexpr double kStepTolerance = 0.002;

using testing::JobCount;
using testing::ThreeDecimals;
using testing::WrittenValue;

struct Job {
  FieldTexts texts;
  JobParameters parameters;
};

enum class Kind { Ordinary, Wild };

// An ordinary job: sides above twice the tool radius, a tool radius above 0, a corner radius at
// most half the short side. A wild one: anything the fields allow that still writes a program.
Job RandomJob(std::mt19937_64& random, ShapeKind shape, bool fill, Kind kind) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto between = [&](double low, double high) { return low + (high - low) * unit(random); };
  FieldTexts texts;
  texts.CenterXText = ThreeDecimals(between(-500, 500));
  texts.CenterYText = ThreeDecimals(between(-500, 500));
  texts.DepthText = ThreeDecimals(between(-10, -0.001));
  if (kind == Kind::Ordinary) {
    const double width = between(1, 400);
    const double height = shape == ShapeKind::Circle ? width : between(1, 400);
    const double shortSide = std::min(width, height);
    texts.WidthText = ThreeDecimals(width);
    texts.HeightText = ThreeDecimals(height);
    texts.RadiusText =
        ThreeDecimals(shape == ShapeKind::Circle ? width / 2 : unit(random) * shortSide / 2);
    // From a sixtieth of the short side to just under half of it.
    const double tool = shortSide * (1.0 / 60 + 0.47 * std::pow(unit(random), 2));
    texts.ToolRadiusText = ThreeDecimals(std::max(0.01, tool));
  } else {
    texts.WidthText = ThreeDecimals(between(-50, 50));
    texts.HeightText = ThreeDecimals(between(-50, 50));
    texts.RadiusText = ThreeDecimals(between(-10, 40));
    texts.ToolRadiusText = ThreeDecimals(fill ? between(0.2, 20) : between(-5, 20));
  }
  return {texts, MakeJobParameters(texts, shape, fill)};
}

// The window's program of a job's paths as `strategy` cuts them.
std::string DinProgramOf(const Job& job, const CuttingStrategy& strategy = {}) {
  std::string bytes;
  SaveRequest request;
  request.texts = job.texts;
  request.strategy = strategy;
  WriteJobProgram(request, job.parameters, std::make_unique<StringSink>(bytes));
  return bytes;
}

ReadBackProgram WriteAndRead(const Job& job) {
  return ReadProgram(DinProgramOf(job));
}

// The shape, inset by the tool radius: where the tool centre may go in an ordinary job.
Contour ToolCenterRegion(const JobParameters& job) {
  return ContourOf(job).Inset(job.ToolRadius);
}

// Points along a move, ends included.
template <class Visit>
void ForPointsAlong(const ToolMove& move, Visit visit) {
  constexpr int kSamples = 8;
  for (int i = 0; i <= kSamples; ++i) {
    const Point point = PointAlong(move, static_cast<double>(i) / kSamples);
    visit(point.x, point.y);
  }
}

// One pass at depth: rapid to the start at Z 0, one plunge, everything at depth, one retract.
void ExpectOnePassAtDepth(const Job& job, const ReadBackProgram& program) {
  ASSERT_TRUE(program.ended);
  const std::vector<ToolMove>& moves = program.moves;
  ASSERT_GE(moves.size(), 3U);
  const double depth = WrittenValue(FormatCoord(job.parameters.Depth));
  EXPECT_EQ(moves.front().kind, MoveKind::Rapid);
  EXPECT_EQ(moves.front().to.z, 0.0);
  EXPECT_EQ(moves[1].kind, MoveKind::Feed);
  EXPECT_EQ(moves[1].to.z, depth);
  EXPECT_EQ(moves[1].to.x, moves[0].to.x);
  EXPECT_EQ(moves[1].to.y, moves[0].to.y);
  for (std::size_t i = 2; i + 1 < moves.size(); ++i) {
    EXPECT_NE(moves[i].kind, MoveKind::Rapid) << "line " << moves[i].line;
    EXPECT_EQ(moves[i].to.z, depth) << "line " << moves[i].line;
  }
  const ToolMove& retract = moves.back();
  EXPECT_EQ(retract.kind, MoveKind::Feed);
  EXPECT_EQ(retract.to.z, 0.0);
  EXPECT_EQ(retract.to.x, retract.from.x);
  EXPECT_EQ(retract.to.y, retract.from.y);
}

// An arc's radius at its start and at its end are each measured between two coordinates that
// were rounded on their own, so each is off by up to a thousandth and the two can differ by two.
void ExpectArcsKeepTheirRadius(const ReadBackProgram& program) {
  constexpr double kRadiusTolerance = 0.002 + 1e-9;
  for (const ToolMove& move : program.moves) {
    if (move.kind != MoveKind::ArcCounterClockwise) continue;
    EXPECT_NEAR(ArcRadius(move), std::hypot(move.to.x - move.centerX, move.to.y - move.centerY),
                kRadiusTolerance)
        << "line " << move.line;
  }
}

void ExpectCutsInsideTheShape(const Job& job, const ReadBackProgram& program,
                              double allowance = 0.0) {
  const Contour region = ToolCenterRegion(job.parameters).Inset(allowance);
  for (std::size_t i = 1; i + 1 < program.moves.size(); ++i) {
    ForPointsAlong(program.moves[i], [&](double x, double y) {
      EXPECT_LE(region.Distance(x, y), kWriteTolerance) << "line " << program.moves[i].line;
    });
  }
}

// The rings of a Fill program, each by its offset inside the outline path.
struct Ring {
  double offset;
  const ToolMove* first;
};

std::vector<Ring> RingsOf(const JobParameters& job, const ReadBackProgram& program) {
  const std::vector<ToolMove>& moves = program.moves;
  const double T = job.ToolRadius;
  std::vector<Ring> rings;
  if (job.ShapeKind == ShapeKind::Circle) {
    // Rapid to the centre, plunge; then a cut to the ring's leftmost point and two half arcs.
    for (std::size_t i = 2; i + 1 < moves.size(); i += 3) {
      rings.push_back({moves[i].to.x - (job.CenterX - job.CornerRadius + T), &moves[i]});
    }
    return rings;
  }
  // Rapid to the stroke, plunge, stroke; then rings of five straight cuts, or nine with arcs.
  const double bottom = job.CenterY - job.Height / 2 + T;
  for (std::size_t i = 3; i + 1 < moves.size();) {
    rings.push_back({moves[i].to.y - bottom, &moves[i]});
    i += moves[i + 2].kind == MoveKind::ArcCounterClockwise ? 9 : 5;
  }
  return rings;
}

void ExpectRingsNestedOutwardToTheWall(const Job& job, const ReadBackProgram& program,
                                       double stepover = kWindowStepover, double allowance = 0) {
  const JobParameters& p = job.parameters;
  if (p.ShapeKind != ShapeKind::Circle) stepover = std::min(stepover, kLargestSquareStepover);
  const double stepOver = stepover / 50 * static_cast<double>(p.ToolRadius);
  const std::vector<Ring> rings = RingsOf(p, program);
  ASSERT_FALSE(rings.empty());
  for (std::size_t k = 1; k < rings.size(); ++k) {
    const double step = rings[k - 1].offset - rings[k].offset;
    if (k + 1 == rings.size() && step < stepOver - kStepTolerance) {
      // The ring on the outline path that follows when the rounded offsets stopped short of it
      // lies closer than a whole step to the ring before.
      EXPECT_GT(step, 0.0) << "line " << rings[k].first->line;
    } else {
      EXPECT_NEAR(step, stepOver, kStepTolerance) << "line " << rings[k].first->line;
    }
  }
  EXPECT_NEAR(rings.back().offset, allowance, kWriteTolerance);

  if (p.ShapeKind == ShapeKind::Circle) return;
  // The stroke runs through the middle of the longer side.
  const ToolMove& stroke = program.moves[2];
  if (p.Width >= p.Height) {
    EXPECT_NEAR(stroke.from.y, p.CenterY, kWriteTolerance);
    EXPECT_NEAR(stroke.to.y, p.CenterY, kWriteTolerance);
  } else {
    EXPECT_NEAR(stroke.from.x, p.CenterX, kWriteTolerance);
    EXPECT_NEAR(stroke.to.x, p.CenterX, kWriteTolerance);
  }
}

void ExpectOutlineClosed(const ReadBackProgram& program) {
  const std::vector<ToolMove>& moves = program.moves;
  const ToolPoint& plunge = moves[1].to;
  const ToolPoint& last = moves[moves.size() - 2].to;
  EXPECT_EQ(last.x, plunge.x);
  EXPECT_EQ(last.y, plunge.y);
}

// Marks what the cutter sweeps at depth and looks for material it could have reached but left.
// A finishing pass along the `wall` takes what the rings left.
void ExpectPocketCleared(const Job& job, const ReadBackProgram& program,
                         const ReadBackProgram* wall = nullptr) {
  const JobParameters& p = job.parameters;
  const double T = p.ToolRadius;
  const double halfWidth = p.ShapeKind == ShapeKind::Circle ? p.CornerRadius : p.Width / 2;
  const double halfHeight = p.ShapeKind == ShapeKind::Circle ? p.CornerRadius : p.Height / 2;
  const double cell = std::min(halfWidth, halfHeight) / 60;
  testing::SweptGrid grid(p.CenterX - halfWidth, p.CenterY - halfHeight, p.CenterX + halfWidth,
                          p.CenterY + halfHeight, cell);
  for (std::size_t i = 1; i + 1 < program.moves.size(); ++i) {
    grid.Sweep(program.moves[i], T + kWriteTolerance);
  }
  for (std::size_t i = 1; wall != nullptr && i + 1 < wall->moves.size(); ++i) {
    grid.Sweep(wall->moves[i], T + kWriteTolerance);
  }

  // A circle pocket of two or more rings begins its first ring more than a tool diameter from
  // the plunge point when the rings' count rounded up: the cutter then leaves a thin ring of
  // material around the plunge point, at most a quarter of the tool radius wide.
  double keptInner = 0.0;
  double keptOuter = 0.0;
  const std::vector<Ring> rings = RingsOf(p, program);
  if (p.ShapeKind == ShapeKind::Circle && rings.size() >= 2) {
    const double firstPathRadius = std::fabs(p.CornerRadius - T - rings[0].offset);
    keptInner = T;
    keptOuter = firstPathRadius - T;
    EXPECT_LE(keptOuter - keptInner, 0.25 * T + kStepTolerance);
  }

  const Contour region = ToolCenterRegion(p);
  const double margin = cell * 0.75 + kStepTolerance;
  int left = 0;
  for (int row = 0; row < grid.rows(); ++row) {
    for (int column = 0; column < grid.columns(); ++column) {
      const double x = grid.cellX(column);
      const double y = grid.cellY(row);
      if (grid.swept(column, row) || region.Distance(x, y) > T - margin) continue;
      const double fromCenter = std::hypot(x - p.CenterX, y - p.CenterY);
      if (fromCenter > keptInner - margin && fromCenter < keptOuter + margin) continue;
      ++left;
    }
  }
  EXPECT_EQ(left, 0) << "cells of material left that the cutter could reach";
}

struct PropertyCase {
  ShapeKind shape;
  bool fill;
  const char* name;
};

void PrintTo(const PropertyCase& row, std::ostream* out) {
  *out << row.name;
}

class ProgramProperties : public ::testing::TestWithParam<PropertyCase> {
 protected:
  template <class Check>
  void ForRandomJobs(Kind kind, int count, Check check) {
    std::mt19937_64 random(0x5eed0000u + static_cast<unsigned>(GetParam().shape) * 2 +
                           (GetParam().fill ? 1 : 0) + (kind == Kind::Wild ? 100 : 0));
    for (int n = 0; n < count && !HasFailure(); ++n) {
      const Job job = RandomJob(random, GetParam().shape, GetParam().fill, kind);
      SCOPED_TRACE("job " + std::to_string(n) + ": --width=" + job.texts.WidthText +
                   " --height=" + job.texts.HeightText + " --radius=" + job.texts.RadiusText +
                   " --tool-radius=" + job.texts.ToolRadiusText +
                   " --center-x=" + job.texts.CenterXText + " --center-y=" + job.texts.CenterYText);
      check(job, WriteAndRead(job));
    }
  }
};

TEST_P(ProgramProperties, EveryProgramCutsInOnePassAtDepth) {
  const auto check = [](const Job& job, const ReadBackProgram& program) {
    ExpectOnePassAtDepth(job, program);
    ExpectArcsKeepTheirRadius(program);
  };
  ForRandomJobs(Kind::Ordinary, JobCount(400), check);
  ForRandomJobs(Kind::Wild, JobCount(200), check);
}

TEST_P(ProgramProperties, OrdinaryJobsCutInsideTheShapeAlongClosedOrNestedPaths) {
  ForRandomJobs(Kind::Ordinary, JobCount(400), [&](const Job& job, const ReadBackProgram& program) {
    ExpectCutsInsideTheShape(job, program);
    if (GetParam().fill) {
      ExpectRingsNestedOutwardToTheWall(job, program);
    } else {
      ExpectOutlineClosed(program);
    }
  });
}

// The settings of the n-th controller job: both units, every other job cut in passes, every
// third with the spindle, a plunge feed of its own now and then.
MachineSettings MachineFor(Dialect dialect, const Job& job, int n) {
  MachineSettings machine;
  machine.dialect = dialect;
  machine.units = n % 2 == 0 ? Units::Millimetres : Units::Inches;
  machine.feed = machine.units == Units::Inches ? 24.5 : 600;
  machine.plungeFeed = n % 5 == 0 ? machine.feed / 3 : machine.feed;
  machine.safeZ = DefaultSafeZ(machine.units) + (n % 7 == 0 ? 0.125 : 0.0);
  if (n % 4 >= 2) {
    machine.stepDown = -static_cast<double>(job.parameters.Depth) / (1 + n % 3) + 0.0004 * (n % 5);
  }
  if (n % 3 == 0) machine.spindle = 12000;
  if (n % 6 >= 3) machine.direction = Direction::Conventional;
  if (n % 4 == 1 || n % 4 == 2) {
    machine.entry = Entry::Ramp;
    machine.rampAngle = n % 3 == 0 ? 3 : n % 3 == 1 ? 0.5 : 45;
  }
  return machine;
}

// The strategy of the n-th controller job: every fourth leaves an allowance for a finishing
// pass, a quarter of the room the tool has, but at most half its radius...
std::optional<double> AllowanceThatFits(const JobParameters& p) {
  const double halfSide =
      p.ShapeKind == ShapeKind::Circle ? p.CornerRadius : std::min(p.Width, p.Height) / 2;
  const double allowance =
      std::floor(250 * std::min(halfSide - p.ToolRadius, 2.0 * p.ToolRadius)) / 1000;
  return allowance >= 0 ? std::optional(allowance) : std::nullopt;
}

// ... and the rings of every third job lie 40 % of the diameter apart, of every third 100 %.
CuttingStrategy StrategyFor(const Job& job, int n) {
  CuttingStrategy strategy;
  strategy.stepover = n % 3 == 1 ? 40 : n % 3 == 2 ? 100 : kWindowStepover;
  if (n % 4 == 1) strategy.finishAllowance = AllowanceThatFits(job.parameters);
  return strategy;
}

// The controller's program of a job, made as the window's program is written.
// The strategy's finishing pass in the window's form; empty without an allowance.
std::string FinishingPassOf(const Job& job, const CuttingStrategy& strategy) {
  if (!strategy.finishAllowance) return {};
  std::string bytes;
  ProgramWriter writer(std::make_unique<StringSink>(bytes));
  WindowProgramWriter wall(writer, FinishingDinLayoutOf(job.parameters, strategy));
  MakeFinishingPath(job.parameters, job.texts, ".", strategy, wall);
  writer.Close();
  return bytes;
}

// `told` counts what the machinist was told.
std::string ControllerProgramOf(const Job& job, const MachineSettings& machine,
                                const CuttingStrategy& strategy = {}, int* told = nullptr) {
  std::string bytes;
  SaveRequest request;
  request.texts = job.texts;
  request.strategy = strategy;
  request.machine = machine;
  ProgramObservers observers;
  observers.notice = [told](const std::string&) {
    if (told != nullptr) ++*told;
  };
  WriteJobProgram(request, job.parameters, std::make_unique<StringSink>(bytes), observers);
  return bytes;
}

// A controller's job as its program is made, in the program's units: an inch machine's in
// tenths of an inch (see ProgramUnits), where each thousandth compared is one the program writes.
struct MadeJob {
  Job job;
  MachineSettings machine;
  CuttingStrategy strategy;
};

MadeJob MadeFor(const Job& job, const MachineSettings& machine, const CuttingStrategy& strategy) {
  const ProgramUnits units = ProgramUnits::Of(machine);
  return {{job.texts, InProgramUnits(job.parameters, units)},
          InProgramUnits(machine),
          InProgramUnits(strategy, units)};
}

// LinuxCNC's run of a program for `machine`, in the program's units.
testing::LinuxCncRun InProgramUnits(testing::LinuxCncRun run, const MachineSettings& machine) {
  const ProgramUnits units = ProgramUnits::Of(machine);
  for (testing::CanonMove& move : run.moves) {
    for (double* length : {&move.x, &move.y, &move.z, &move.centerX, &move.centerY}) {
      *length = units.FromMachine(*length);
    }
  }
  return run;
}

// The controller's program of a saved program, and of its finishing pass, read back: the reader
// and the generators speak one language, so this is the program written from the job.
std::string Converted(const std::string& dinProgram, const MachineSettings& machine,
                      const CuttingStrategy& strategy, const std::string& finishing) {
  std::string bytes;
  // Read in the machine's unit, cut in the program's.
  const auto read = [&](const std::string& program, ToolpathSink& sink) {
    if (!ProgramUnits::Of(machine).tenths()) {
      ReadWindowProgram(program, sink);
      return;
    }
    IntoProgramUnits tenths(sink);
    ReadWindowProgram(program, tenths);
  };
  const ToolpathSource wall = [&](ToolpathSink& sink) { read(finishing, sink); };
  ControllerProgramParts parts;
  parts.outside = strategy.outside;
  if (!finishing.empty()) parts.finishingPath = &wall;
  WriteControllerProgram([&](ToolpathSink& sink) { read(dinProgram, sink); },
                         InProgramUnits(machine), parts, std::make_unique<StringSink>(bytes));
  return bytes;
}

// The cuts of a din program: every move between the plunge and the retract, but for arcs of
// radius 0, which a controller cannot cut and the plunge has cut already.
std::vector<ToolMove> CutsOf(const ReadBackProgram& din) {
  std::vector<ToolMove> cuts;
  for (std::size_t i = 2; i + 1 < din.moves.size(); ++i) {
    if (!IsArc(din.moves[i]) || ArcRadius(din.moves[i]) > 0) cuts.push_back(din.moves[i]);
  }
  return cuts;
}

// LinuxCNC cuts the din program's path at every pass, and moves safely in between: across the
// work only at the clearance height, down quickly only to the top of what is left, never below
// the depth, each pass at most one step below the one before, the last at the depth itself.
// A cut as a set of points, whichever way it is run: its two ends in thousandths, in order.
using CutKey = std::tuple<bool, long long, long long, long long, long long>;

CutKey KeyOf(bool arc, double fromX, double fromY, double toX, double toY) {
  const auto at = [](double x, double y) {
    return std::pair(std::llround(x * 1000), std::llround(y * 1000));
  };
  const std::pair<long long, long long> from = at(fromX, fromY), to = at(toX, toY);
  const std::pair<long long, long long> low = std::min(from, to), high = std::max(from, to);
  return {arc, low.first, low.second, high.first, high.second};
}

// Each pass cuts the din program's cuts, in its order or the other way round.
std::multimap<CutKey, ToolMove> CutSetOf(const ReadBackProgram& din) {
  std::multimap<CutKey, ToolMove> cuts;
  for (const ToolMove& cut : CutsOf(din)) {
    cuts.emplace(KeyOf(IsArc(cut), cut.from.x, cut.from.y, cut.to.x, cut.to.y), cut);
  }
  return cuts;
}

// The length in the XY plane of a move LinuxCNC made from (x, y).
double LengthOf(const testing::CanonMove& move, double x, double y) {
  if (move.kind != testing::CanonMove::Kind::Arc) return std::hypot(move.x - x, move.y - y);
  const double start = std::atan2(y - move.centerY, x - move.centerX);
  const double end = std::atan2(move.y - move.centerY, move.x - move.centerX);
  const double turn = 2 * std::numbers::pi;
  double sweep = std::fmod((move.rotation > 0 ? end - start : start - end) + 2 * turn, turn);
  if (sweep == 0.0) sweep = turn;
  return std::hypot(x - move.centerX, y - move.centerY) * sweep;
}

// A step of a ramp lies along one cut of the pass: an arc is one of its arcs, a straight step
// a piece of one of its straight cuts.
bool AlongThePath(const testing::CanonMove& move, double x, double y,
                  const std::multimap<CutKey, ToolMove>& cuts) {
  if (move.kind == testing::CanonMove::Kind::Arc) {
    return cuts.contains(KeyOf(true, x, y, move.x, move.y));
  }
  return std::any_of(cuts.begin(), cuts.end(), [&](const auto& cut) {
    return !IsArc(cut.second) && DistanceToMove(x, y, cut.second) <= kWriteTolerance &&
           DistanceToMove(move.x, move.y, cut.second) <= kWriteTolerance;
  });
}

// A finishing pass, when there is one (its program in `finishingPass`), follows the last pass:
// down from the work surface to the depth at once, along its own path. With a ramp entry every
// pass comes down along its path, no more steeply than the ramp angle, and plunges only where
// the machinist was told so.
void ExpectLinuxCncCutsTheDinPathSafely(const ReadBackProgram& din, const MachineSettings& machine,
                                        const testing::LinuxCncRun& run,
                                        const std::string& finishingPass = {},
                                        bool toldOfAPlunge = false, bool outside = false) {
  ASSERT_EQ(run.error, "");
  const std::optional<ReadBackProgram> finishing =
      finishingPass.empty() ? std::nullopt : std::optional(ReadProgram(finishingPass));
  constexpr double kPrinted = 0.00005 + 1e-9;  // rs274 reports four decimals
  const double depth = din.moves[1].to.z;
  const PassDepths bottoms(depth, machine.stepDown);
  const double step = machine.stepDown.value_or(INFINITY);
  const double steepest = std::tan(machine.rampAngle * std::numbers::pi / 180);
  const int rotation = CutsClockwise(machine.direction, outside) ? -1 : 1;
  const std::multimap<CutKey, ToolMove> expected = CutSetOf(din);
  const std::multimap<CutKey, ToolMove> wall =
      finishing ? CutSetOf(*finishing) : std::multimap<CutKey, ToolMove>();
  std::multimap<CutKey, ToolMove> left;
  double deepest = 0.0;
  double x = 0.0, y = 0.0, z = 0.0;
  int passes = 0;
  bool finished = false;
  // From the first move down of a pass until the tool is at the pass's start and depth.
  bool descending = false;
  double bottom = 0.0;
  Point start{};
  for (const testing::CanonMove& move : run.moves) {
    const bool across = std::fabs(move.x - x) > kPrinted || std::fabs(move.y - y) > kPrinted;
    const bool down = move.z < z - kPrinted;
    if (move.kind == testing::CanonMove::Kind::Traverse) {
      EXPECT_TRUE(left.empty()) << "a rapid move before the pass was cut whole";
      if (across) {
        EXPECT_GE(std::min(z, move.z), machine.safeZ - kPrinted) << "a rapid across the work";
      } else if (down) {
        EXPECT_GE(move.z, deepest - kPrinted) << "a rapid down into the material";
      }
    } else if (!descending && (down || left.empty())) {
      // A pass begins: the feed moves after a pass was cut whole belong to the next one, the
      // first of them level when a shallow ramp's first step rounds to the height it starts at.
      EXPECT_TRUE(left.empty()) << "a plunge before the pass was cut whole";
      descending = true;
      start = {x, y};
      if (finishing && deepest <= std::min(depth, 0.0) + kPrinted && passes > 0) {
        EXPECT_FALSE(finished) << "a second finishing pass";
        finished = true;
        left = wall;
        bottom = depth;
      } else {
        ++passes;
        left = expected;
        bottom = bottoms.Z(passes);
        EXPECT_GE(bottom, deepest - step - kPrinted) << "a pass deeper than the step-down";
        deepest = bottom;
      }
    }
    if (move.kind == testing::CanonMove::Kind::Traverse) {
    } else if (descending) {
      EXPECT_GE(move.z, bottom - kPrinted) << "a move below the pass's depth";
      EXPECT_GE(move.z, depth - kPrinted) << "a cut below the depth";
      if (across) {
        EXPECT_EQ(machine.entry, Entry::Ramp) << "a move across while plunging";
        EXPECT_LE(z - move.z, steepest * LengthOf(move, x, y) + 0.001 + 2 * kPrinted)
            << "a ramp steeper than " << machine.rampAngle << " degrees, to X" << move.x;
        EXPECT_TRUE(AlongThePath(move, x, y, finished ? wall : expected))
            << "a ramp off the path, to X" << move.x << " Y" << move.y;
      } else if (machine.entry == Entry::Ramp) {
        EXPECT_TRUE(toldOfAPlunge) << "a plunge where a ramp was asked for, at X" << x;
      }
      descending = std::fabs(move.z - bottom) > kPrinted ||
                   std::fabs(move.x - start.x) > kPrinted || std::fabs(move.y - start.y) > kPrinted;
    } else {
      const bool arc = move.kind == testing::CanonMove::Kind::Arc;
      const auto cut = left.find(KeyOf(arc, x, y, move.x, move.y));
      ASSERT_NE(cut, left.end()) << "a cut that the din program does not make, to X" << move.x
                                 << " Y" << move.y;
      EXPECT_NEAR(move.z, bottom, kPrinted);
      if (arc) {
        EXPECT_EQ(move.rotation, rotation);
        // The centre between the arc's written ends, within a thousandth of the written one.
        EXPECT_NEAR(move.centerX, cut->second.centerX, 0.001 + kPrinted);
        EXPECT_NEAR(move.centerY, cut->second.centerY, 0.001 + kPrinted);
      }
      left.erase(cut);
    }
    x = move.x;
    y = move.y;
    z = move.z;
  }
  EXPECT_TRUE(left.empty()) << "the last pass was not cut whole";
  EXPECT_NEAR(deepest, std::min(depth, 0.0), kPrinted) << "the last pass is not at the depth";
  EXPECT_EQ(passes, bottoms.count());
  EXPECT_EQ(finished, finishing.has_value()) << "the finishing pass";
  EXPECT_GE(z, machine.safeZ - kPrinted) << "the program ends below the clearance height";
}

TEST_P(ProgramProperties, LinuxCncRunsEveryProgramAlongTheDinPath) {
  int n = 0;
  ForRandomJobs(Kind::Ordinary, JobCount(30), [&](const Job& job, const ReadBackProgram&) {
    const MachineSettings machine = MachineFor(Dialect::LinuxCnc, job, n);
    const CuttingStrategy strategy = StrategyFor(job, n++);
    const MadeJob made = MadeFor(job, machine, strategy);
    const ReadBackProgram din = ReadProgram(DinProgramOf(made.job, made.strategy));
    int told = 0;
    const testing::LinuxCncRun run = InProgramUnits(
        testing::RunLinuxCnc(ControllerProgramOf(job, machine, strategy, &told)), machine);
    // The roughing paths keep the allowance from the wall; the finishing pass cuts it.
    if (made.strategy.finishAllowance) {
      ExpectCutsInsideTheShape(made.job, din, *made.strategy.finishAllowance);
    }
    ExpectLinuxCncCutsTheDinPathSafely(din, made.machine, run,
                                       FinishingPassOf(made.job, made.strategy), told > 0);
  });
}

TEST_P(ProgramProperties, GrblProgramsKeepGrblsRules) {
  int n = 0;
  const auto check = [&](const Job& job, const ReadBackProgram&) {
    const MachineSettings machine = MachineFor(Dialect::Grbl, job, n);
    const CuttingStrategy strategy = StrategyFor(job, n++);
    const std::string program = ControllerProgramOf(job, machine, strategy);
    EXPECT_EQ(testing::GrblRuleBreaks(program, machine.units), std::vector<std::string>());
    const std::string converted =
        Converted(DinProgramOf(job, strategy), machine, strategy, FinishingPassOf(job, strategy));
    // A saved program has thousandths alone: an inch job's program, in ten-thousandths, says more.
    if (machine.units == Units::Millimetres) {
      EXPECT_EQ(converted, program);
    } else {
      EXPECT_EQ(testing::GrblRuleBreaks(converted, machine.units), std::vector<std::string>());
    }
  };
  ForRandomJobs(Kind::Ordinary, JobCount(200), check);
  ForRandomJobs(Kind::Wild, JobCount(100), check);
}

// The later passes replay the first as it went by, move for move, where the toolpath can be kept;
// one that cannot be kept is handed on all the same.
TEST(KeptToolpath, ReplaysWhatWentByOrKeepsNothing) {
  const auto bits = [](const ToolMove& m) {
    return std::vector<std::uint64_t>{std::bit_cast<std::uint64_t>(m.from.x.value()),
                                      std::bit_cast<std::uint64_t>(m.from.y.value()),
                                      std::bit_cast<std::uint64_t>(m.from.z.value()),
                                      std::bit_cast<std::uint64_t>(m.to.x.value()),
                                      std::bit_cast<std::uint64_t>(m.to.y.value()),
                                      std::bit_cast<std::uint64_t>(m.to.z.value()),
                                      std::bit_cast<std::uint64_t>(m.centerX),
                                      std::bit_cast<std::uint64_t>(m.centerY),
                                      std::bit_cast<std::uint64_t>(m.offsetX),
                                      std::bit_cast<std::uint64_t>(m.offsetY),
                                      static_cast<std::uint64_t>(m.kind),
                                      m.words,
                                      static_cast<std::uint64_t>(m.feed),
                                      static_cast<std::uint64_t>(m.role),
                                      static_cast<std::uint64_t>(m.line)};
  };
  const auto expectSame = [&](const ToolpathRecording& a, const ToolpathRecording& b) {
    EXPECT_EQ(a.title(), b.title());
    EXPECT_EQ(a.ended(), b.ended());
    ASSERT_EQ(a.moves().size(), b.moves().size());
    for (std::size_t i = 0; i < a.moves().size(); ++i) {
      ASSERT_EQ(bits(a.moves()[i]), bits(b.moves()[i])) << "move " << i;
    }
  };
  const auto shape = [](ShapeKind kind, bool fill, FieldTexts texts) -> ToolpathSource {
    return [=](ToolpathSink& sink) {
      const JobParameters job = MakeJobParameters(texts, kind, fill);
      sink.Title({ProgramTitleText(job, texts, ".")});
      OperationOf(kind).make(job, {}, sink);
    };
  };
  FieldTexts pocket;
  pocket.WidthText = "30";
  pocket.HeightText = "20";
  pocket.RadiusText = "4";
  pocket.ToolRadiusText = "1";
  FieldTexts far = pocket;
  far.CenterXText = "3000000";
  const std::string din =
      DinProgramOf({pocket, MakeJobParameters(pocket, ShapeKind::RoundedRectangle, true)});
  const struct {
    const char* name;
    ToolpathSource source;
    bool kept;
  } rows[] = {
      {"a rounded rectangle Fill", shape(ShapeKind::RoundedRectangle, true, pocket), true},
      {"a circle's outline", shape(ShapeKind::Circle, false, pocket), true},
      {"a program read back", [&](ToolpathSink& sink) { ReadWindowProgram(din, sink); }, false},
      {"beyond 32 bits of thousandths", shape(ShapeKind::Rectangle, true, far), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ToolpathRecording made, handedOn, replayed;
    row.source(made);
    KeptToolpath kept(handedOn);
    row.source(kept);
    EXPECT_EQ(kept.kept(), row.kept);
    expectSame(made, handedOn);
    if (kept.kept()) {
      kept.Replay(replayed);
      expectSame(made, replayed);
    }
  }
}

// What a drawing shows of the tool's moves: the cuts, ramps, rapids and plunges, and the
// legend's depth, passes, closed paths and cut length. The contour and the job's own lines are
// what only the job can tell.
std::vector<std::string> DrawnMovesOf(const std::string& svg) {
  std::vector<std::string> drawn;
  for (const char* element :
       {"<g id=\"cuts\"", "<g id=\"ramps\"", "<path id=\"rapids\"", "<g id=\"plunges\""}) {
    const std::size_t start = svg.find(element);
    const std::size_t end =
        start == std::string::npos ? start : svg.find(element[1] == 'g' ? "</g>" : "/>", start);
    drawn.push_back(start == std::string::npos ? "" : svg.substr(start, end - start));
  }
  for (const char* line : {">depth ", ">passes ", ">closed paths", ">cut length "}) {
    const std::size_t start = svg.find(line);
    drawn.push_back(start == std::string::npos ? ""
                                               : svg.substr(start, svg.find('<', start) - start));
  }
  return drawn;
}

// The preview of a program as it is written, and of the program read back from its file, draw
// the tool's moves alike, for every dialect and strategy; the program is the same unobserved.
TEST_P(ProgramProperties, APreviewDrawsTheMovesAProgramSays) {
  int n = 0;
  ForRandomJobs(Kind::Ordinary, JobCount(20), [&](const Job& job, const ReadBackProgram&) {
    for (const Dialect dialect : {Dialect::Din, Dialect::LinuxCnc, Dialect::Grbl}) {
      SaveRequest request;
      request.texts = job.texts;
      if (dialect != Dialect::Din) {
        request.machine = MachineFor(dialect, job, n);
        request.strategy = StrategyFor(job, n++);
      }
      std::string program;
      ToolpathRecording written;
      RunTimeEstimate whole(request.machine);
      ProgramObservers observers;
      observers.moves = {&written, &whole};
      WriteJobProgram(request, job.parameters, std::make_unique<StringSink>(program), observers);
      if (dialect != Dialect::Din) {
        // Timed alone, a later pass may take the first pass's cuts' time again: the planner's
        // look-ahead across the pass's ends may differ by a moment.
        RunTimeEstimate repeated(request.machine);
        MakeJobToolpath(request, CheckedJob::Of(request, job.parameters), repeated, {}, &repeated);
        const double seconds = whole.Finish().total();
        EXPECT_NEAR(repeated.Finish().total(), seconds, 0.05 + 1e-4 * seconds)
            << ProfileOf(dialect).name;
      }
      // Unobserved, a later pass may write the first pass's lines again rather than make them.
      std::string unobserved;
      WriteJobProgram(request, job.parameters, std::make_unique<StringSink>(unobserved));
      EXPECT_EQ(unobserved, program) << ProfileOf(dialect).name;
      ToolpathRecording read;
      ReadAnyProgram(program, read);
      PreviewContext context;
      context.toolRadius = job.parameters.ToolRadius;
      const std::vector<std::string> drawn = DrawnMovesOf(DrawToolpathSvg(read, context));
      context.job = job.parameters;
      EXPECT_EQ(DrawnMovesOf(DrawToolpathSvg(written, context)), drawn) << ProfileOf(dialect).name;
      EXPECT_NE(drawn[0], "");
    }
  });
}

class FillProperties : public ProgramProperties {};

// At every stepover the rings reach the wall, or the allowance before it that a finishing pass
// takes, and leave nothing the cutter could reach.
TEST_P(FillProperties, FillClearsThePocket) {
  for (const double stepover : {kWindowStepover, 20.0, 55.0, 85.0, 100.0}) {
    SCOPED_TRACE("--stepover=" + FormatCoord(stepover));
    int n = 0;
    ForRandomJobs(Kind::Ordinary, JobCount(stepover == kWindowStepover ? 120 : 40),
                  [&](const Job& job, const ReadBackProgram&) {
                    CuttingStrategy strategy;
                    strategy.stepover = stepover;
                    if (n++ % 2 == 1) strategy.finishAllowance = AllowanceThatFits(job.parameters);
                    const ReadBackProgram program = ReadProgram(DinProgramOf(job, strategy));
                    if (!strategy.finishAllowance) {
                      ExpectRingsNestedOutwardToTheWall(job, program, stepover);
                      ExpectPocketCleared(job, program);
                      return;
                    }
                    const ReadBackProgram wall = ReadProgram(FinishingPassOf(job, strategy));
                    ExpectRingsNestedOutwardToTheWall(job, program, stepover,
                                                      *strategy.finishAllowance);
                    ExpectPocketCleared(job, program, &wall);
                  });
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ProgramProperties,
    ::testing::Values(PropertyCase{ShapeKind::Rectangle, false, "RectangleOutline"},
                      PropertyCase{ShapeKind::Rectangle, true, "RectangleFill"},
                      PropertyCase{ShapeKind::Circle, false, "CircleOutline"},
                      PropertyCase{ShapeKind::Circle, true, "CircleFill"},
                      PropertyCase{ShapeKind::RoundedRectangle, false, "RoundedOutline"},
                      PropertyCase{ShapeKind::RoundedRectangle, true, "RoundedFill"}),
    testing::CaseName<PropertyCase>);

class OutlineProperties : public ProgramProperties {};

// An outline cut from outside: the cutter's edge touches the contour and never enters the
// shape, and LinuxCNC cuts it as written, both ways round, in passes.
TEST_P(OutlineProperties, AnOutsideProfileNeverEntersTheShape) {
  int n = 0;
  ForRandomJobs(Kind::Ordinary, JobCount(30), [&](const Job& job, const ReadBackProgram&) {
    // Every other job leaves an allowance for a finishing pass along the profile itself.
    CuttingStrategy strategy;
    strategy.outside = true;
    const double T = job.parameters.ToolRadius;
    if (n % 2 == 1) strategy.finishAllowance = std::round(250 * T) / 1000;
    const double reach =
        RoughingJob(job.parameters, strategy.finishAllowance.value_or(0.0)).ToolRadius;
    const ReadBackProgram outside = ReadProgram(DinProgramOf(job, strategy));
    const Contour contour = ContourOf(job.parameters);
    double nearest = INFINITY;
    for (std::size_t i = 2; i + 1 < outside.moves.size(); ++i) {
      ForPointsAlong(outside.moves[i], [&](double x, double y) {
        EXPECT_GE(contour.Distance(x, y), reach - kWriteTolerance)
            << "line " << outside.moves[i].line;
        nearest = std::min(nearest, contour.Distance(x, y));
      });
    }
    EXPECT_NEAR(nearest, reach, kWriteTolerance) << "the cutter does not reach the contour";

    const MachineSettings machine = MachineFor(Dialect::LinuxCnc, job, n++);
    int told = 0;
    const testing::LinuxCncRun run = InProgramUnits(
        testing::RunLinuxCnc(ControllerProgramOf(job, machine, strategy, &told)), machine);
    EXPECT_EQ(told, 0) << "an outside profile is always long enough to ramp along";
    const MachineSettings grbl = MachineFor(Dialect::Grbl, job, n);
    EXPECT_EQ(testing::GrblRuleBreaks(ControllerProgramOf(job, grbl, strategy), grbl.units),
              std::vector<std::string>());
    const MadeJob made = MadeFor(job, machine, strategy);
    ExpectLinuxCncCutsTheDinPathSafely(ReadProgram(DinProgramOf(made.job, made.strategy)),
                                       made.machine, run, FinishingPassOf(made.job, made.strategy),
                                       false, true);
  });
}

// Where along a contour's walk the point of it nearest `p` lies.
double NearestAlongWalk(const ContourWalk& walk, Point p) {
  double best = INFINITY, along = 0.0;
  for (const ContourWalk::Piece& piece : walk.pieces()) {
    double at = 0.0;
    if (!piece.arc) {
      at = std::clamp(
          (p.x - piece.start.x) * piece.direction.x + (p.y - piece.start.y) * piece.direction.y,
          0.0, piece.length());
    } else if (piece.radius > 0.0) {
      double turn = std::atan2(p.y - piece.center.y, p.x - piece.center.x) - piece.startAngle;
      turn = std::fmod(turn + 4 * std::numbers::pi, 2 * std::numbers::pi);
      at = std::clamp(turn * piece.radius, 0.0, piece.length());
      if (turn > std::numbers::pi + std::numbers::pi / 4) at = 0.0;  // nearer its start
    }
    const Point q = piece.PointAt(at);
    const double distance = std::hypot(p.x - q.x, p.y - q.y);
    if (distance < best) {
      best = distance;
      along = piece.from + at;
    }
  }
  return along;
}

// How high the tabs' material stands under a cutter centred at `p`: the highest point of a
// tab's trapezoid (its top, its sloping sides) under any point of the cutter on the cut's side of
// the contour, each point's place along the contour being that of the contour's point nearest
// it; -infinity where the cutter is over no tab's base. Found by trying the points round its edge,
// not by the program's own geometry.
double TabHeightUnder(Point p, double tool, const TabPlan& plan, const Contour& contour,
                      bool outside) {
  const TabSizes& tab = plan.sizes();
  // Far from every tab's middle, it meets none.
  const bool near = std::any_of(plan.centers().begin(), plan.centers().end(), [&](double center) {
    const Point middle = plan.walk().PointAt(center);
    return std::hypot(p.x - middle.x, p.y - middle.y) < tab.base() + 8 * tool + 1;
  });
  if (!near) return -INFINITY;
  const double slope = tab.angle < 90.0 ? std::tan(tab.angle * std::numbers::pi / 180) : INFINITY;
  double highest = -INFINITY;
  constexpr int kAround = 128;
  for (int i = 0; i <= kAround; ++i) {
    const double angle = 2 * std::numbers::pi * i / kAround;
    const double r = i == kAround ? 0.0 : tool * (1 - 1e-9);
    const Point q{p.x + r * std::cos(angle), p.y + r * std::sin(angle)};
    const double side = contour.Distance(q.x, q.y);
    if (outside ? side < 0.0 : side > 0.0) continue;
    const double along = NearestAlongWalk(plan.walk(), q);
    for (const double center : plan.centers()) {
      const double apart =
          std::fabs(plan.walk().Wrapped(along - center + plan.walk().length() / 2) -
                    plan.walk().length() / 2);
      const double beyondTop = apart - tab.width / 2;
      if (beyondTop < 0.0) return plan.top();
      if (apart < tab.base() / 2) highest = std::max(highest, plan.top() - beyondTop * slope);
    }
  }
  return highest;
}

// Follows LinuxCNC's run of a program with holding tabs, pass by pass. A pass goes down where
// it begins and comes back there after every loop round its path: a ramp's steps, a helix, and
// last the loop at its depth, the lap, which must pass each tab once at the tabs' top.
class TabRunChecker {
 public:
  TabRunChecker(const TabPlan& plan, const Contour& contour, bool outside, double tool,
                double shortestLoop, bool neverStraightDown)
      : plan_(plan),
        contour_(contour),
        outside_(outside),
        tool_(tool),
        shortestLoop_(shortestLoop),
        neverStraightDown_(neverStraightDown) {
    // A slope's first or last piece may rise so little that it is written level.
    if (plan.sizes().angle < 90.0) {
      flatSlope_ = kPrinted / std::tan(plan.sizes().angle * std::numbers::pi / 180);
    }
  }

  int laps() const { return laps_; }

  void Follow(const std::vector<testing::CanonMove>& moves) {
    for (const testing::CanonMove& move : moves) {
      const double length = LengthOf(move, x_, y_);
      if (move.kind == testing::CanonMove::Kind::Traverse) {
        EndPass();
      } else {
        const bool down = move.z < z_ - kPrinted;
        if (neverStraightDown_ && down && length == 0.0 && move.z < 0.0) {
          ADD_FAILURE() << "straight down into the material at X" << move.x << " Y" << move.y
                        << " to Z" << move.z;
        }
        if (!inPass_ && down) StartPass();
        if (inPass_ && loop_.length == 0.0 && move.z < lowest_ - kPrinted && !loops_.empty()) {
          EndPass();  // the next pass goes down from where the last lap ended
          StartPass();
        }
        lowest_ = std::min(lowest_, static_cast<double>(move.z));
        loop_.length += length;
        loop_.lowest = std::min(loop_.lowest, static_cast<double>(move.z));
        Sample(move, length);
        if (length > 0.0 && std::hypot(move.x - start_.x, move.y - start_.y) <= kTolerance) {
          EndStretch();
          loops_.push_back(std::move(loop_));
          loop_ = Loop();
        }
      }
      x_ = move.x;
      y_ = move.y;
      z_ = move.z;
    }
    EndPass();
  }

 private:
  static constexpr double kPrinted = 0.00005 + 1e-9;  // rs274 reports four decimals
  static constexpr double kTolerance = kWriteTolerance + 2 * kPrinted;

  struct Stretch {
    double length;
    double apart;  // of its middle from the nearest tab's middle, along the contour
    bool straight;
    Point end;
  };
  struct Loop {
    double length = 0.0;
    double lowest = INFINITY;
    std::vector<Stretch> stretches;
    // The highest the loop cuts where the cutter is over no tab's base, and where.
    double highestClear = -INFINITY;
    Point highestAt{};
  };

  void StartPass() {
    inPass_ = true;
    start_ = {x_, y_};
    lowest_ = z_;
    loops_.clear();
    loop_ = Loop();
  }

  // The pass's lap is its last whole loop; below the tabs' top it passes each tab once, over
  // just its stretch (on a straight side its width and the cutter's diameter), centred on it.
  void EndPass() {
    EndStretch();
    if (!inPass_) return;
    inPass_ = false;
    if (loop_.length > 0.0) loops_.push_back(std::move(loop_));
    loop_ = Loop();
    const auto lap = std::find_if(loops_.rbegin(), loops_.rend(), [&](const Loop& loop) {
      return loop.length >= 0.95 * shortestLoop_;  // a whole loop, its arcs cut in pieces
    });
    if (lap == loops_.rend() || !(lap->lowest < plan_.top() - kPrinted)) return;
    ++laps_;
    if (lap->lowest <= plan_.bottom() + kPrinted) {
      EXPECT_LE(lap->highestClear, plan_.bottom() + kPrinted)
          << "the lap at the Depth is not cut through beside the tabs, at X" << lap->highestAt.x
          << " Y" << lap->highestAt.y;
    }
    EXPECT_EQ(static_cast<int>(lap->stretches.size()), plan_.sizes().count)
        << "tabs passed on one lap";
    for (const Stretch& stretch : lap->stretches) {
      if (stretch.straight) {
        EXPECT_NEAR(stretch.length, plan_.sizes().width + 2 * tool_,
                    2 * kTolerance + 2 * flatSlope_)
            << "a stretch over a tab on a side, to X" << stretch.end.x << " Y" << stretch.end.y;
      }
      if (stretch.straight || contour_.cornerRadius == contour_.halfWidth) {
        EXPECT_LE(stretch.apart, 4 * kTolerance + flatSlope_)
            << "a stretch beside its tab, to X" << stretch.end.x;
      }
    }
  }

  // Every point of the move: the cutter stays above the tabs' trapezoids, and beside them cuts
  // as deep as the lap goes.
  void Sample(const testing::CanonMove& move, double length) {
    const bool level = std::fabs(move.z - z_) <= kPrinted && length > 0.0;
    // A pass at the top itself is cut whole there.
    const bool atTop = inPass_ && level && std::fabs(move.z - plan_.top()) <= kPrinted &&
                       lowest_ < plan_.top() - kPrinted;
    if (!atTop) EndStretch();
    const int samples = std::max(1, static_cast<int>(length / 0.05));
    const double before = raised_.empty() ? 0.0 : raised_.back().first;
    for (int i = 0; i <= samples && length > 0.0; ++i) {
      const double t = static_cast<double>(i) / samples;
      Point p{x_ + t * (move.x - x_), y_ + t * (move.y - y_)};
      if (move.kind == testing::CanonMove::Kind::Arc) {
        const double r = std::hypot(x_ - move.centerX, y_ - move.centerY);
        const double a =
            std::atan2(y_ - move.centerY, x_ - move.centerX) + move.rotation * t * length / r;
        p = {move.centerX + r * std::cos(a), move.centerY + r * std::sin(a)};
      }
      const double height = z_ + t * (move.z - z_);
      if (height < plan_.top() - kPrinted - 1e-6 && i % 4 == 0) {
        // Written to the thousandth, a slope may stand that much along from where it is due.
        const double slack =
            kPrinted + 1e-6 + (flatSlope_ > 0.0 ? kTolerance * kPrinted / flatSlope_ : 0.0);
        EXPECT_GE(height + slack, TabHeightUnder(p, tool_ - kTolerance, plan_, contour_, outside_))
            << "the cutter cuts into a tab at X" << p.x << " Y" << p.y << " Z" << height;
      }
      // The points round the cutter's edge find a tab a little late on a large one.
      if (inPass_ && height > loop_.highestClear &&
          TabHeightUnder(p, 1.002 * tool_ + kTolerance, plan_, contour_, outside_) == -INFINITY) {
        loop_.highestClear = height;
        loop_.highestAt = p;
      }
      if (atTop) raised_.emplace_back(before + t * length, p);
    }
  }

  Point PointAt(double along) const {
    const auto next = std::lower_bound(
        raised_.begin(), raised_.end(), along,
        [](const std::pair<double, Point>& sample, double at) { return sample.first < at; });
    if (next == raised_.end()) return raised_.back().second;
    if (next == raised_.begin()) return next->second;
    const auto& [a, p] = *(next - 1);
    const auto& [b, q] = *next;
    const double t = b > a ? (along - a) / (b - a) : 0.0;
    return Point{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)};
  }

  // A stretch at the top ends: raised only where the cutter would reach a tab (a little inside
  // either end it does; the points round the cutter's edge find it a little late on a large one).
  void EndStretch() {
    if (raised_.size() < 2) {
      raised_.clear();
      return;
    }
    const double length = raised_.back().first;
    const double inside = 0.02 + 0.002 * tool_;
    // A piece of a ramp so short that both its ends are written at the top is no stretch.
    for (const double along :
         length > 2 * inside ? std::vector{inside, length - inside} : std::vector<double>()) {
      EXPECT_GE(TabHeightUnder(PointAt(along), tool_ + kTolerance, plan_, contour_, outside_),
                plan_.top())
          << "raised where no tab is near, at X" << PointAt(along).x << " Y" << PointAt(along).y;
    }
    const ContourWalk& walk = plan_.walk();
    const double walked = NearestAlongWalk(walk, PointAt(length / 2));
    double apart = INFINITY;
    for (const double center : plan_.centers()) {
      apart = std::min(
          apart, std::fabs(walk.Wrapped(walked - center + walk.length() / 2) - walk.length() / 2));
    }
    const Point first = raised_.front().second, last = raised_.back().second;
    const double chord = std::hypot(last.x - first.x, last.y - first.y);
    const bool straight = std::all_of(raised_.begin(), raised_.end(), [&](const auto& sample) {
      const Point q = sample.second;
      return std::fabs((last.x - first.x) * (q.y - first.y) -
                       (last.y - first.y) * (q.x - first.x)) <= kTolerance * chord;
    });
    loop_.stretches.push_back({length, apart, straight, last});
    raised_.clear();
  }

  const TabPlan& plan_;
  const Contour contour_;
  bool outside_;
  double tool_;
  double shortestLoop_;
  bool neverStraightDown_;
  double flatSlope_ = 0.0;
  double x_ = 0, y_ = 0, z_ = 0, lowest_ = INFINITY;
  bool inPass_ = false;
  Point start_{};
  std::vector<Loop> loops_;
  Loop loop_;
  std::vector<std::pair<double, Point>> raised_;  // the stretch at the top, by how far along
  int laps_ = 0;
};

// Holding tabs, as LinuxCNC runs the program: on each pass below their top, the lap at its
// depth is at the top exactly once over each tab, over just the stretch where the cutter would
// reach it, centred on it; the cutter never reaches a tab below the top; every cut lies on the
// outline's path; and the GRBL rule check passes.
TEST_P(OutlineProperties, HoldingTabsStandOnEveryPassBelowTheirTop) {
  int n = 0, checked = 0;
  ForRandomJobs(Kind::Ordinary, JobCount(16), [&](const Job& job, const ReadBackProgram&) {
    const int k = n++;
    CuttingStrategy strategy;
    strategy.outside = k % 2 == 1;
    const double T = job.parameters.ToolRadius;
    if (k % 3 == 2) strategy.finishAllowance = std::round(250 * T) / 1000;
    strategy.tabs.count = 1 + k % 6;
    if (k % 3 == 1) strategy.tabs.width = std::round(1500 * T) / 1000;
    if (k % 4 == 3) strategy.tabs.height = std::round(-200 * job.parameters.Depth) / 1000;
    // Upright sides, the entry's own slope, or a steep or a flat one.
    constexpr std::array<std::optional<double>, 4> kAngles{std::nullopt, 30.0, 45.0, 90.0};
    strategy.tabs.angle = kAngles[static_cast<std::size_t>(k / 4 % 4)];
    const MachineSettings machine = MachineFor(Dialect::LinuxCnc, job, k);
    // The checks are made in the program's units, as the program is.
    const auto made = [&] { return MadeFor(job, machine, strategy); };
    const auto tabsProblem = [&] {
      const MadeJob m = made();
      return TabsProblemOf(m.job.parameters, m.strategy, m.machine);
    };
    if (machine.entry == Entry::Ramp && strategy.tabs.angle == 90.0) {
      const std::optional<TabsProblem> problem = tabsProblem();
      EXPECT_TRUE(problem && problem->key == "tab-angle") << "upright tabs with a ramp entry";
      return;
    }
    // A hole whose cut clears it whole leaves nothing inside to hold.
    const JobParameters& shape = job.parameters;
    const double halfShort = shape.ShapeKind == ShapeKind::Circle
                                 ? shape.CornerRadius
                                 : std::min(shape.Width, shape.Height) / 2;
    if (!strategy.outside && halfShort < 3 * (T + strategy.finishAllowance.value_or(0.0))) return;
    // As many tabs as the outline takes, up to the count asked for.
    while (strategy.tabs.count > 1 && tabsProblem()) --strategy.tabs.count;
    if (tabsProblem() || ControllerRefusalReason(made().job.parameters, job.texts, made().strategy,
                                                 {}, ProgramUnits::Of(machine))) {
      return;
    }
    ++checked;
    SCOPED_TRACE("tabs " + std::to_string(strategy.tabs.count) + " of " +
                 std::to_string(strategy.tabs.width.value_or(0)) + " x " +
                 std::to_string(strategy.tabs.height.value_or(0)) + " at " +
                 std::to_string(strategy.tabs.angle.value_or(0)) +
                 (strategy.outside ? " outside" : " inside") +
                 (machine.entry == Entry::Ramp ? ", ramp" : ", plunge") + ", step-down " +
                 std::to_string(machine.stepDown.value_or(0)) + ", allowance " +
                 std::to_string(strategy.finishAllowance.value_or(0)) + ", job " +
                 std::to_string(k));
    const std::string program = ControllerProgramOf(job, machine, strategy);
    const testing::LinuxCncRun run = InProgramUnits(testing::RunLinuxCnc(program), machine);
    ASSERT_EQ(run.error, "");
    MachineSettings grbl = machine;
    grbl.dialect = Dialect::Grbl;
    EXPECT_EQ(testing::GrblRuleBreaks(ControllerProgramOf(job, grbl, strategy), grbl.units),
              std::vector<std::string>());

    // Every cut lies on the outline's path, or the finishing pass's.
    const MadeJob m = made();
    const std::vector<ToolMove> outline = CutsOf(ReadProgram(DinProgramOf(m.job, m.strategy)));
    std::vector<ToolMove> paths = outline;
    double shortestLoop = 0.0;
    for (const ToolMove& cut : outline) shortestLoop += MoveLength(cut);
    if (strategy.finishAllowance) {
      const std::vector<ToolMove> wall = CutsOf(ReadProgram(FinishingPassOf(m.job, m.strategy)));
      double wallLength = 0.0;
      for (const ToolMove& cut : wall) wallLength += MoveLength(cut);
      shortestLoop = std::min(shortestLoop, wallLength);
      paths.insert(paths.end(), wall.begin(), wall.end());
    }
    double x = 0, y = 0;
    for (const testing::CanonMove& move : run.moves) {
      if (move.kind != testing::CanonMove::Kind::Traverse) {
        double nearest = INFINITY;
        for (const ToolMove& cut : paths) {
          nearest = std::min(nearest, DistanceToMove((x + move.x) / 2, (y + move.y) / 2, cut));
        }
        if (move.kind == testing::CanonMove::Kind::Feed) {
          EXPECT_LE(nearest, kWriteTolerance + 0.0002) << "a move off the path, to X" << move.x;
        }
      }
      x = move.x;
      y = move.y;
    }

    int told = 0;
    (void)ControllerProgramOf(job, machine, strategy, &told);
    const TabPlan plan(m.job.parameters, m.strategy, m.machine);
    // A path too short to ramp along is plunged, and the machinist told; no tab is.
    TabRunChecker checker(plan, ContourOf(m.job.parameters), strategy.outside,
                          m.job.parameters.ToolRadius, shortestLoop,
                          machine.entry == Entry::Ramp && told == 0);
    checker.Follow(run.moves);
    EXPECT_GT(checker.laps(), 0) << "no pass below the tabs' top";
  });
  EXPECT_GT(checked, JobCount(16) / 4);
  RecordProperty("jobs_checked", checked);
}

INSTANTIATE_TEST_SUITE_P(Shapes, OutlineProperties,
                         ::testing::Values(PropertyCase{ShapeKind::Rectangle, false, "Rectangle"},
                                           PropertyCase{ShapeKind::Circle, false, "Circle"},
                                           PropertyCase{ShapeKind::RoundedRectangle, false,
                                                        "RoundedRectangle"}),
                         testing::CaseName<PropertyCase>);

INSTANTIATE_TEST_SUITE_P(Shapes, FillProperties,
                         ::testing::Values(PropertyCase{ShapeKind::Rectangle, true, "Rectangle"},
                                           PropertyCase{ShapeKind::Circle, true, "Circle"},
                                           PropertyCase{ShapeKind::RoundedRectangle, true,
                                                        "RoundedRectangle"}),
                         testing::CaseName<PropertyCase>);

}  // namespace
}  // namespace quorrel
