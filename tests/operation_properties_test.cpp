// Drilling and facing, checked over many random jobs as LinuxCNC's own interpreter runs their
// programs: the holes asked and no others, each to its depth in pecks no deeper than asked,
// nothing sideways below the surface; a faced stock swept at depth to every edge and corner.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "gcode/jobs/job_file.h"
#include "gcode/jobs/job_program.h"
#include "gcode/output/byte_sink.h"
#include "gcode/save/save_command.h"
#include "gcode/save/write_job.h"
#include "gcode/shapes/operation.h"
#include "tests/support/controller_checks.h"
#include "tests/support/golden_cases.h"
#include "tests/support/property_jobs.h"
#include "tests/support/swept_area.h"

namespace quorrel {
namespace {

// rs274 prints four decimals; the program writes three (four for an inch program).
constexpr double kPrinted = 0.00005 + 1e-9;
// The holes stand where they were asked, to the thousandth.
constexpr double kHolePlace = 0.001;

// A number drawn at random from [low, high], as a text of three decimals.
std::string Drawn(std::mt19937_64& random, double low, double high) {
  return testing::ThreeDecimals(std::uniform_real_distribution<double>(low, high)(random));
}

double ValueOf(const std::string& text) {
  return testing::WrittenValue(text);
}

int DrawnCount(std::mt19937_64& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

bool OneIn(std::mt19937_64& random, int n) {
  return DrawnCount(random, 1, n) == 1;
}

// A random job of `shape` for a random machine, in millimetres or (every third) in inches,
// whose sizes are drawn for a unit of 1 and scaled to the machine's.
SaveRequest RandomJob(std::mt19937_64& random, ShapeKind shape, int n) {
  SaveRequest request;
  request.shape = shape;
  MachineSettings& machine = request.machine;
  machine.dialect = Dialect::LinuxCnc;
  machine.units = n % 3 == 2 ? Units::Inches : Units::Millimetres;
  const double unit = machine.units == Units::Inches ? 0.04 : 1.0;
  machine.feed = machine.plungeFeed = std::round(ValueOf(Drawn(random, 50, 2000)) * unit);
  machine.safeZ = ValueOf(Drawn(random, 2 * unit, 10 * unit));
  FieldTexts& texts = request.texts;
  texts.CenterXText = Drawn(random, -50 * unit, 50 * unit);
  texts.CenterYText = Drawn(random, -50 * unit, 50 * unit);
  const double tool = ValueOf(Drawn(random, 0.5 * unit, 6 * unit));
  texts.ToolRadiusText = Drawn(random, tool, tool);
  const double gap = 2 * tool + 0.01 * unit;  // between holes' centres
  if (OperationOf(shape).outlines()) {
    const double width = ValueOf(Drawn(random, 12 * unit, 80 * unit));
    const double height = ValueOf(Drawn(random, 12 * unit, 80 * unit));
    texts.WidthText = Drawn(random, width, width);
    texts.HeightText = Drawn(random, height, height);
    const double smaller = std::min(width, height);
    texts.RadiusText = shape == ShapeKind::Circle ? Drawn(random, smaller / 4, smaller / 2)
                                                  : Drawn(random, 0.5 * unit, smaller / 4);
    texts.ToolRadiusText = Drawn(random, 0.3 * unit, smaller / 10);
    const double depth = ValueOf(Drawn(random, 0.3 * unit, 6 * unit));
    texts.DepthText = Drawn(random, -depth, -depth);
    if (OneIn(random, 2)) machine.stepDown = ValueOf(Drawn(random, depth / 3, depth));
    request.fill = OneIn(random, 2);
    request.strategy.outside = !request.fill && OneIn(random, 3);
    if (!request.fill && OneIn(random, 3)) request.strategy.tabs.count = DrawnCount(random, 1, 3);
    return request;
  }
  if (shape == ShapeKind::Face) {
    texts.WidthText = Drawn(random, 5 * unit, 120 * unit);
    texts.HeightText = Drawn(random, 5 * unit, 90 * unit);
    const double depth = ValueOf(Drawn(random, 0.1 * unit, 3 * unit));
    texts.DepthText = Drawn(random, -depth, -depth);
    if (OneIn(random, 2)) machine.stepDown = ValueOf(Drawn(random, depth / 4, depth));
    if (!OneIn(random, 3)) request.strategy.stepover = DrawnCount(random, 20, 100);
    if (!OneIn(random, 3)) {
      request.strategy.oneWay = OneIn(random, 2) ? Direction::Climb : Direction::Conventional;
      machine.direction = *request.strategy.oneWay;
    }
    return request;
  }
  const double depth = ValueOf(Drawn(random, 0.3 * unit, 25 * unit));
  texts.DepthText = Drawn(random, -depth, -depth);
  if (!OneIn(random, 3)) {
    machine.drill.retractZ = ValueOf(Drawn(random, 0.1 * unit, machine.safeZ));
  }
  if (OneIn(random, 2)) {
    machine.drill.peck = ValueOf(Drawn(random, 0.05 * depth, depth));
    machine.drill.chipBreak = OneIn(random, 2);
  } else if (OneIn(random, 2)) {
    machine.drill.dwell = ValueOf(Drawn(random, 0.1, 3));
  }
  if (shape == ShapeKind::BoltCircle) {
    const int holes = DrawnCount(random, 1, 12);
    texts.HolesText = std::to_string(holes);
    texts.StartAngleText = Drawn(random, -180, 360);
    const double nearest = holes > 1 ? gap / (2 * std::sin(std::numbers::pi / holes)) : 0.0;
    texts.RadiusText = Drawn(random, nearest + 0.01 * unit, nearest + 60 * unit);
  } else if (shape == ShapeKind::HoleGrid) {
    const int columns = DrawnCount(random, 1, 6), rows = DrawnCount(random, 1, 6);
    texts.ColumnsText = std::to_string(columns);
    texts.RowsText = std::to_string(rows);
    texts.WidthText = Drawn(random, gap * (columns - 1) + 0.01 * unit, 40 * unit + gap * columns);
    texts.HeightText = Drawn(random, gap * (rows - 1) + 0.01 * unit, 40 * unit + gap * rows);
  }
  return request;
}

bool Refused(const SaveRequest& request) {
  CheckedJob checked;
  return CheckJob(request, checked).has_value();
}

std::string ProgramOf(const SaveRequest& request) {
  CheckedJob checked;
  if (const std::optional<SaveResult> refused = CheckJob(request, checked)) {
    ADD_FAILURE() << "refused: " << refused->message;
    return {};
  }
  std::string bytes;
  WriteJobProgram(request, checked, std::make_unique<StringSink>(bytes), {});
  return bytes;
}

struct Place {
  double x, y;
};

// Where the holes must stand, in the order they must be drilled, worked out from the fields:
// round the circle from the start angle; a grid row by row from the bottom, back and forth.
std::vector<Place> HolesAsked(const SaveRequest& request) {
  const FieldTexts& t = request.texts;
  const double cx = ValueOf(t.CenterXText), cy = ValueOf(t.CenterYText);
  std::vector<Place> holes;
  if (request.shape == ShapeKind::Hole) {
    holes.push_back({cx, cy});
  } else if (request.shape == ShapeKind::BoltCircle) {
    const int count = std::stoi(t.HolesText);
    const double radius = ValueOf(t.RadiusText), start = ValueOf(t.StartAngleText);
    for (int k = 0; k < count; ++k) {
      const double angle = (start + 360.0 * k / count) * std::numbers::pi / 180.0;
      holes.push_back({cx + radius * std::cos(angle), cy + radius * std::sin(angle)});
    }
  } else {
    const int columns = std::stoi(t.ColumnsText), rows = std::stoi(t.RowsText);
    const double width = ValueOf(t.WidthText), height = ValueOf(t.HeightText);
    const auto along = [](double centre, double span, int count, int k) {
      return count == 1 ? centre : centre - span / 2 + span * k / (count - 1);
    };
    for (int row = 0; row < rows; ++row) {
      for (int k = 0; k < columns; ++k) {
        const int column = row % 2 == 0 ? k : columns - 1 - k;
        holes.push_back({along(cx, width, columns, column), along(cy, height, rows, row)});
      }
    }
  }
  return holes;
}

// The moves of a program as LinuxCNC runs them, each from where the last one left the tool.
template <class Visit>
void ForEachMove(const testing::LinuxCncRun& run, Visit visit) {
  double x = 0, y = 0, z = 0;  // where the interpreter starts
  for (std::size_t i = 0; i < run.moves.size(); ++i) {
    const testing::CanonMove& move = run.moves[i];
    visit(i, x, y, z, move);
    x = move.x;
    y = move.y;
    z = move.z;
  }
}

void ExpectTheHolesAsked(const SaveRequest& request, const testing::LinuxCncRun& run) {
  const MachineSettings& machine = request.machine;
  const double depth = ValueOf(request.texts.DepthText);
  const double peck = machine.drill.peck.value_or(0.0);
  const std::vector<Place> asked = HolesAsked(request);
  struct Drilled {
    Place place;
    double bottom = 0.0;  // the work surface, until the drill goes below it
  };
  std::vector<Drilled> drilled;
  const auto holeAt = [&](double x, double y) -> Drilled* {
    for (Drilled& hole : drilled) {
      if (std::hypot(hole.place.x - x, hole.place.y - y) <= kPrinted * 2) return &hole;
    }
    return nullptr;
  };
  std::size_t dwells = 0;
  ForEachMove(run, [&](std::size_t i, double x, double y, double z,
                       const testing::CanonMove& move) {
    const bool across = std::hypot(move.x - x, move.y - y) > kPrinted * 2;
    if (across) {
      // Every move across travels at the clearance height, over every hole.
      EXPECT_NEAR(z, machine.safeZ, kPrinted) << "move " << i << " across below clearance";
      EXPECT_NEAR(move.z, machine.safeZ, kPrinted) << "move " << i << " across below clearance";
      return;
    }
    Drilled* hole = holeAt(x, y);
    const double bottom = hole != nullptr ? hole->bottom : 0.0;
    if (move.kind == testing::CanonMove::Kind::Traverse) {
      EXPECT_GE(move.z, bottom - kPrinted) << "move " << i << ": a rapid into undrilled material";
      return;
    }
    if (move.z >= bottom || move.z >= 0.0) return;
    if (hole == nullptr) {
      drilled.push_back({{x, y}, 0.0});
      hole = &drilled.back();
    }
    if (peck > 0.0) {
      EXPECT_LE(hole->bottom - move.z, peck + kPrinted)
          << "move " << i << ": a peck deeper than " << peck;
    }
    hole->bottom = move.z;
  });
  ASSERT_EQ(drilled.size(), asked.size()) << "holes drilled, of those asked";
  for (std::size_t k = 0; k < asked.size(); ++k) {
    EXPECT_NEAR(drilled[k].place.x, asked[k].x, kHolePlace) << "hole " << k + 1;
    EXPECT_NEAR(drilled[k].place.y, asked[k].y, kHolePlace) << "hole " << k + 1;
    EXPECT_NEAR(drilled[k].bottom, depth, kPrinted) << "hole " << k + 1 << " to its depth";
  }
  // A wait of the dwell asked at every hole's bottom, and none elsewhere.
  const double dwell = machine.drill.dwell.value_or(0.0);
  for (const auto& [before, seconds] : run.dwells) {
    ASSERT_GT(before, 0U);
    EXPECT_NEAR(run.moves[before - 1].z, depth, kPrinted) << "a dwell above a hole's bottom";
    EXPECT_NEAR(seconds, dwell, kPrinted);
    ++dwells;
  }
  EXPECT_EQ(dwells, dwell > 0.0 ? asked.size() : 0U);
  ASSERT_FALSE(run.moves.empty());
  EXPECT_NEAR(run.moves.back().z, machine.safeZ, kPrinted) << "the program ends at clearance";
}

void ExpectTheStockFaced(const SaveRequest& request, const testing::LinuxCncRun& run) {
  const MachineSettings& machine = request.machine;
  const FieldTexts& t = request.texts;
  const double depth = ValueOf(t.DepthText), tool = ValueOf(t.ToolRadiusText);
  const double cx = ValueOf(t.CenterXText), cy = ValueOf(t.CenterYText);
  const double halfWidth = ValueOf(t.WidthText) / 2, halfHeight = ValueOf(t.HeightText) / 2;
  const double cell = std::min(halfWidth, halfHeight) / 60;
  testing::SweptGrid stock(cx - halfWidth, cy - halfHeight, cx + halfWidth, cy + halfHeight, cell);
  double cut = 0.0;  // the top of what is left
  const std::optional<Direction> oneWay = request.strategy.oneWay;
  ForEachMove(run, [&](std::size_t i, double x, double y, double z,
                       const testing::CanonMove& move) {
    const bool across = std::hypot(move.x - x, move.y - y) > kPrinted * 2;
    EXPECT_GE(move.z, depth - kPrinted) << "move " << i << " below the depth";
    if (move.kind == testing::CanonMove::Kind::Traverse) {
      if (across) {
        EXPECT_NEAR(move.z, machine.safeZ, kPrinted) << "move " << i;
      }
      if (move.z < z) {
        EXPECT_GE(move.z, cut - kPrinted) << "move " << i << ": rapid into stock";
      }
      return;
    }
    if (machine.stepDown && move.z < cut) {
      EXPECT_LE(cut - move.z, *machine.stepDown + kPrinted) << "move " << i << ": a pass too deep";
    }
    cut = std::min(cut, move.z);
    if (!across) return;
    if (oneWay) {
      EXPECT_NEAR(move.y, y, kPrinted) << "move " << i << ": a stroke not along X";
      EXPECT_EQ(move.x > x, *oneWay == Direction::Climb) << "move " << i << ": the other way";
    }
    if (std::fabs(move.z - depth) <= kPrinted && std::fabs(z - depth) <= kPrinted) {
      ToolMove swept;
      swept.kind = MoveKind::Feed;
      swept.from = {Coord::Of(x), Coord::Of(y), Coord::Of(z)};
      swept.to = {Coord::Of(move.x), Coord::Of(move.y), Coord::Of(move.z)};
      // The strokes stand where three decimals put them.
      stock.Sweep(swept, tool + 0.001);
    }
  });
  for (int row = 0; row < stock.rows(); ++row) {
    for (int column = 0; column < stock.columns(); ++column) {
      ASSERT_TRUE(stock.swept(column, row))
          << "left standing at X " << stock.cellX(column) << ", Y " << stock.cellY(row);
    }
  }
  EXPECT_NEAR(cut, depth, kPrinted);
}

class OperationProperties : public ::testing::TestWithParam<ShapeKind> {};

// LinuxCNC runs the program of each job as asked; GRBL's, the same motion without the cycles,
// keeps GRBL's rules and moves exactly as LinuxCNC's own cycles do.
TEST_P(OperationProperties, LinuxCncAndGrblRunTheJobAsAsked) {
  std::mt19937_64 random(static_cast<unsigned>(GetParam()) * 7919U + 29U);
  const int jobs = testing::JobCount(30);
  for (int n = 0; n < jobs; ++n) {
    SaveRequest request = RandomJob(random, GetParam(), n);
    SCOPED_TRACE(OperationOf(request.shape).title(request.texts, ".") + ", job " +
                 std::to_string(n));
    const std::string linuxcnc = ProgramOf(request);
    const testing::LinuxCncRun run = testing::RunLinuxCnc(linuxcnc);
    ASSERT_EQ(run.error, "") << linuxcnc;
    if (OperationOf(request.shape).drills()) {
      ExpectTheHolesAsked(request, run);
    } else {
      ExpectTheStockFaced(request, run);
    }
    request.machine.dialect = Dialect::Grbl;
    const std::string grbl = ProgramOf(request);
    EXPECT_EQ(testing::GrblRuleBreaks(grbl, request.machine.units), std::vector<std::string>());
    const testing::LinuxCncRun grblRun = testing::RunLinuxCnc(grbl);
    ASSERT_EQ(grblRun.error, "") << grbl;
    ASSERT_EQ(grblRun.moves.size(), run.moves.size()) << grbl;
    for (std::size_t i = 0; i < run.moves.size(); ++i) {
      EXPECT_EQ(grblRun.moves[i].kind, run.moves[i].kind) << "move " << i;
      EXPECT_NEAR(grblRun.moves[i].x, run.moves[i].x, kPrinted) << "move " << i;
      EXPECT_NEAR(grblRun.moves[i].y, run.moves[i].y, kPrinted) << "move " << i;
      EXPECT_NEAR(grblRun.moves[i].z, run.moves[i].z, kPrinted) << "move " << i;
    }
    EXPECT_EQ(grblRun.dwells, run.dwells);
    if (HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, OperationProperties,
                         ::testing::Values(ShapeKind::Hole, ShapeKind::BoltCircle,
                                           ShapeKind::HoleGrid, ShapeKind::Face),
                         [](const ::testing::TestParamInfo<ShapeKind>& shape) {
                           std::string name(OperationOf(shape.param).name);
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

// A job of two to four random operations, each for its own random settings in one unit, with a
// tool for each that is often the one before's.
Job RandomOperations(std::mt19937_64& random, int n) {
  Job job;
  job.name = "random.toml";
  const int count = DrawnCount(random, 2, 4);
  int tool = DrawnCount(random, 1, 3);
  while (static_cast<int>(job.operations.size()) < count) {
    const auto shape = static_cast<ShapeKind>(DrawnCount(random, 0, 6));
    JobOperation operation;
    operation.request = RandomJob(random, shape, n);
    if (Refused(operation.request)) continue;  // a tool that does not fit, tabs that crowd
    if (!job.operations.empty() && OneIn(random, 2)) ++tool;
    operation.tool = tool;
    job.operations.push_back(std::move(operation));
  }
  return job;
}

std::string JobProgramOf(const Job& job) {
  std::string bytes;
  const SaveResult result = SaveOperationsProgram(
      job, [] { return std::string("memory"); },
      [&](const std::string&) { return std::make_unique<StringSink>(bytes); });
  EXPECT_EQ(result.outcome, SaveOutcome::Written) << result.message;
  return bytes;
}

// The cutting moves of a run (feeds and arcs), from move `begin` up to `end`.
std::vector<testing::CanonMove> CutsOf(const testing::LinuxCncRun& run, std::size_t begin,
                                       std::size_t end) {
  std::vector<testing::CanonMove> cuts;
  for (std::size_t i = begin; i < end && i < run.moves.size(); ++i) {
    if (run.moves[i].kind != testing::CanonMove::Kind::Traverse) cuts.push_back(run.moves[i]);
  }
  return cuts;
}

void ExpectSameMoves(const std::vector<testing::CanonMove>& job,
                     const std::vector<testing::CanonMove>& alone) {
  ASSERT_EQ(job.size(), alone.size());
  for (std::size_t i = 0; i < job.size(); ++i) {
    EXPECT_EQ(job[i].kind, alone[i].kind) << "move " << i;
    EXPECT_NEAR(job[i].x, alone[i].x, kPrinted) << "move " << i;
    EXPECT_NEAR(job[i].y, alone[i].y, kPrinted) << "move " << i;
    EXPECT_NEAR(job[i].z, alone[i].z, kPrinted) << "move " << i;
    EXPECT_NEAR(job[i].centerX, alone[i].centerX, kPrinted) << "move " << i;
    EXPECT_NEAR(job[i].centerY, alone[i].centerY, kPrinted) << "move " << i;
    EXPECT_EQ(job[i].feed, alone[i].feed) << "move " << i;
  }
}

// A job's program cuts every operation exactly as the operation's own program does, changes to
// each tool where the tool changes, and for GRBL pauses instead: LinuxCNC's interpreter runs both.
TEST(JobProperties, AJobCutsEachOperationAsItIsCutAlone) {
  std::mt19937_64 random(30);
  JobMachineSources none;
  std::variant<Job, std::string> plate =
      ReadJobFile(testing::TestDataPath("jobs/plate.toml"), none);
  ASSERT_TRUE(std::holds_alternative<Job>(plate)) << std::get<std::string>(plate);
  std::vector<Job> jobs{std::get<Job>(plate)};
  for (int n = 0; n < testing::JobCount(12); ++n) jobs.push_back(RandomOperations(random, n));
  for (std::size_t j = 0; j < jobs.size(); ++j) {
    Job& job = jobs[j];
    SCOPED_TRACE(JobTitle(job) + ", job " + std::to_string(j));
    const std::string program = JobProgramOf(job);
    const testing::LinuxCncRun run = testing::RunLinuxCnc(program);
    ASSERT_EQ(run.error, "") << program;
    // Where each operation's comment stands among the moves.
    std::vector<std::size_t> starts;
    std::vector<int> changes;
    for (const auto& [before, text] : run.comments) {
      if (text.starts_with("operation ")) starts.push_back(before);
    }
    starts.push_back(run.moves.size());
    ASSERT_EQ(starts.size(), job.operations.size() + 1);
    for (std::size_t i = 0; i < job.operations.size(); ++i) {
      const testing::LinuxCncRun alone = testing::RunLinuxCnc(ProgramOf(job.operations[i].request));
      ASSERT_EQ(alone.error, "");
      SCOPED_TRACE("operation " + std::to_string(i + 1));
      ExpectSameMoves(CutsOf(run, starts[i], starts[i + 1]), CutsOf(alone, 0, alone.moves.size()));
      if (i == 0 || job.operations[i - 1].tool != job.operations[i].tool) {
        changes.push_back(job.operations[i].tool);
      }
      // Each operation ends at its own clearance height.
      EXPECT_NEAR(run.moves[starts[i + 1] - 1].z, job.operations[i].request.machine.safeZ,
                  kPrinted);
    }
    EXPECT_EQ(run.toolChanges, changes);
    if (j == 0) {
      EXPECT_EQ(changes, (std::vector<int>{1, 2, 3}));
    }

    // GRBL, which has no tool changer, pauses at each change, and moves as LinuxCNC does.
    for (JobOperation& operation : job.operations) {
      operation.request.machine.dialect = Dialect::Grbl;
    }
    const std::string grbl = JobProgramOf(job);
    const Units units = job.operations.front().request.machine.units;
    EXPECT_EQ(testing::GrblRuleBreaks(grbl, units), std::vector<std::string>());
    std::size_t pauses = 0;
    for (std::size_t at = grbl.find("\nM0\n"); at != std::string::npos;
         at = grbl.find("\nM0\n", at + 1)) {
      ++pauses;
    }
    EXPECT_EQ(pauses, changes.size());
    const testing::LinuxCncRun grblRun = testing::RunLinuxCnc(grbl);
    ASSERT_EQ(grblRun.error, "") << grbl;
    ExpectSameMoves(CutsOf(grblRun, 0, grblRun.moves.size()), CutsOf(run, 0, run.moves.size()));
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace quorrel
