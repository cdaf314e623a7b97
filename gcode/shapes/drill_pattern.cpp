#include "gcode/shapes/drill_pattern.h"

#include <cmath>
#include <numbers>

#include "gcode/numbers/number_text.h"
#include "gcode/toolpath/path_maker.h"

namespace quorrel {
namespace {

bool IsCount(double value) {
  return value >= 1.0 && value == std::floor(value);
}

std::string CountText(double value) {
  return FormatCoord(value);
}

// Evenly across `span` about `centre`: a single one on the centre line.
Float64 Across(Float64 centre, Float64 span, long long k, long long count) {
  if (count == 1) return centre;
  return (centre - span / 2.0) +
         span * Float64(static_cast<double>(k)) / Float64(static_cast<double>(count - 1));
}

}  // namespace

std::vector<HoleCentre> HoleCentres(const JobParameters& job) {
  std::vector<HoleCentre> holes;
  const Float64 cx = job.CenterX, cy = job.CenterY;
  switch (job.ShapeKind) {
    case ShapeKind::BoltCircle: {
      const auto count = static_cast<long long>(job.Holes);
      const Float64 radius = job.CornerRadius;
      for (long long k = 0; k < count; ++k) {
        const double degrees =
            job.StartAngle + 360.0 * static_cast<double>(k) / static_cast<double>(count);
        const double turn = degrees * std::numbers::pi / 180.0;
        holes.push_back(
            {cx + radius * Float64(std::cos(turn)), cy + radius * Float64(std::sin(turn))});
      }
      return holes;
    }
    case ShapeKind::HoleGrid: {
      const auto columns = static_cast<long long>(job.Columns);
      const auto rows = static_cast<long long>(job.Rows);
      for (long long row = 0; row < rows; ++row) {
        const Float64 y = Across(cy, job.Height, row, rows);
        for (long long k = 0; k < columns; ++k) {
          const long long column = row % 2 == 0 ? k : columns - 1 - k;
          holes.push_back({Across(cx, job.Width, column, columns), y});
        }
      }
      return holes;
    }
    default:
      holes.push_back({cx, cy});
      return holes;
  }
}

double HoleCount(const JobParameters& job) {
  switch (job.ShapeKind) {
    case ShapeKind::BoltCircle:
      return job.Holes;
    case ShapeKind::HoleGrid:
      return job.Columns * job.Rows;
    default:
      return 1.0;
  }
}

std::optional<std::string> HolePatternProblem(const JobParameters& job, ProgramUnits units) {
  double spacing = INFINITY;  // between neighbouring holes
  if (job.ShapeKind == ShapeKind::BoltCircle) {
    if (!IsCount(job.Holes) || job.Holes > kMostHoles) {
      return "The holes, " + CountText(job.Holes) + ", are a count: a whole number from 1 to " +
             CountText(kMostHoles) + ".";
    }
    if (job.Holes > 1) {
      spacing = 2.0 * std::fabs(job.CornerRadius) * std::sin(std::numbers::pi / job.Holes);
    }
  } else if (job.ShapeKind == ShapeKind::HoleGrid) {
    for (const auto& [count, name] : {std::pair{job.Columns, "columns"}, {job.Rows, "rows"}}) {
      if (!IsCount(count)) {
        return std::string("The ") + name + ", " + CountText(count) +
               ", are a count: a whole number of 1 or more.";
      }
    }
    if (job.Columns * job.Rows > kMostHoles) {
      return "The grid of " + CountText(job.Columns) + " x " + CountText(job.Rows) +
             " holes has more than the " + CountText(kMostHoles) + " a program drills.";
    }
    if (job.Columns > 1) spacing = std::fabs(job.Width) / (job.Columns - 1);
    if (job.Rows > 1) spacing = std::min(spacing, std::fabs(job.Height) / (job.Rows - 1));
  }
  const double diameter = 2.0 * static_cast<double>(job.ToolRadius);
  if (spacing == 0.0 || spacing < diameter) {
    return "The holes would overlap: they stand " + units.Text(spacing) +
           " apart, and the drill is " + units.Text(diameter) +
           " across. Give fewer holes or a larger pattern.";
  }
  return std::nullopt;
}

void MakeHoles(const JobParameters& job, ToolpathSink& sink) {
  PathMaker moves(sink);
  for (const HoleCentre& hole : HoleCentres(job)) {
    moves.Drill(hole.x, hole.y, Float32(job.Depth));
  }
  moves.End();
}

}  // namespace quorrel
