#include "gcode/shapes/rectangle_path.h"

namespace quorrel {

RectanglePath RectanglePathOf(const JobParameters& job) {
  const Float64 width = job.Width;
  const Float64 height = job.Height;
  return {job.CenterX - width / 2.0, job.CenterY - height / 2.0, width, height,
          Float32(job.ToolRadius),   Float32(job.Depth)};
}

void InsetRectangle(const RectanglePath& rectangle, MoveMaker& moves) {
  const auto [L, B, W, H, T, D] = rectangle;
  moves.Rapid(20, L + T, B + T);
  moves.Plunge(30, D);
  moves.ClosedPathBegin();
  moves.CutX(40, L + (W - T));
  moves.CutY(50, B + (H - T));
  moves.CutX(60, L + T);
  moves.CutY(70, B + T);
  moves.ClosedPathEnd();
  moves.Retract(80);
  moves.End(90, true);
}

}  // namespace quorrel
