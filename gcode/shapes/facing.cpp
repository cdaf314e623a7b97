#include "gcode/shapes/facing.h"

#include <cmath>

#include "gcode/numbers/number_text.h"
#include "gcode/toolpath/path_maker.h"

namespace quorrel {
namespace {

// The strokes across the stock: how many, and how far apart.
struct Strokes {
  double count;
  Float64 apart;
};

Strokes StrokesOf(const JobParameters& job, const RingSpacing& spacing) {
  const double height = std::fabs(job.Height);
  const double step = StepOver(Float32(job.ToolRadius), spacing.percent).value();
  if (!(height > 0.0) || !(step > 0.0)) return {1.0, 0.0};
  const double count = std::ceil(height / step) + 1.0;
  return {count, Float64(height) / Float64(count - 1.0)};
}

}  // namespace

std::optional<std::string> FacingProblem(const JobParameters& job, const RingSpacing& spacing,
                                         ProgramUnits units) {
  if (!(job.Width > 0.0) || !(job.Height > 0.0)) {
    return "The stock to face is " + units.Text(job.Width) + " x " + units.Text(job.Height) +
           ": give a Width and a Height above 0.";
  }
  if (!(job.ToolRadius > 0.0F)) {
    return "The Tool Radius is " + units.Text(job.ToolRadius) +
           ": a facing is cut by a cutter of some size.";
  }
  const Strokes strokes = StrokesOf(job, spacing);
  if (strokes.count > kMostFacingStrokes) {
    return "Facing a stock " + units.Text(job.Height) + " high with a Tool Radius of " +
           units.Text(job.ToolRadius) + " takes " + FormatCoord(strokes.count) +
           " strokes, more than the " + FormatCoord(kMostFacingStrokes) +
           " a pass may run. Give a larger Tool Radius or stepover.";
  }
  return std::nullopt;
}

void MakeFace(const JobParameters& job, const RingSpacing& spacing, std::optional<Direction> oneWay,
              ToolpathSink& sink) {
  PathMaker moves(sink);
  const Float64 halfWidth = Float64(std::fabs(job.Width)) / 2.0;
  const Float64 bottom = Float64(job.CenterY) - Float64(std::fabs(job.Height)) / 2.0;
  // Past each edge by more than the cutter's radius: it comes down and turns clear of the stock.
  const Float64 overrun = Float64(Float32(job.ToolRadius)) * 1.25;
  const Float64 left = (Float64(job.CenterX) - halfWidth) - overrun;
  const Float64 right = (Float64(job.CenterX) + halfWidth) + overrun;
  const Float32 depth = Float32(job.Depth);
  const Strokes strokes = StrokesOf(job, spacing);
  const auto count = static_cast<long long>(strokes.count);
  const auto strokeY = [&](long long k) {
    return bottom + strokes.apart * Float64(static_cast<double>(k));
  };
  if (oneWay) {
    const bool climb = *oneWay == Direction::Climb;
    for (long long k = 0; k < count; ++k) {
      moves.Rapid(climb ? left : right, strokeY(k));
      moves.Plunge(depth);
      moves.CutX(climb ? right : left);
      moves.Retract();
    }
  } else {
    moves.Rapid(left, strokeY(0));
    moves.Plunge(depth);
    moves.CutX(right);
    for (long long k = 1; k < count; ++k) {
      moves.CutY(strokeY(k));
      moves.CutX(k % 2 == 1 ? left : right);
    }
    moves.Retract();
  }
  moves.End();
}

}  // namespace quorrel
