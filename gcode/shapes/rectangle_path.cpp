#include "gcode/shapes/rectangle_path.h"

namespace quorrel {

RectanglePath RectanglePathOf(const JobParameters& job) {
  const Float64 width = job.Width;
  const Float64 height = job.Height;
  return {job.CenterX - width / 2.0, job.CenterY - height / 2.0, width, height,
          Float32(job.ToolRadius),   Float32(job.Depth)};
}

void InsetRectangle(const RectanglePath& rectangle, PathMaker& moves) {
  const auto [L, B, W, H, T, D] = rectangle;
  moves.Rapid(L + T, B + T);
  moves.Plunge(D);
  moves.ClosedPathBegin();
  moves.CutX(L + (W - T));
  moves.CutY(B + (H - T));
  moves.CutX(L + T);
  moves.CutY(B + T);
  moves.ClosedPathEnd();
  moves.Retract();
  moves.End();
}

}  // namespace quorrel
