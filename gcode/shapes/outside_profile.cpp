#include "gcode/shapes/outside_profile.h"

#include "gcode/numbers/checked_float.h"
#include "gcode/toolpath/path_maker.h"

namespace quorrel {
namespace {

void MakeCircle(const JobParameters& job, PathMaker& moves) {
  const Float64 cx = job.CenterX, cy = job.CenterY;
  const Float64 reach = Float64(job.CornerRadius) + Float32(job.ToolRadius);
  moves.Rapid(cx - reach, cy);
  moves.Plunge(Float32(job.Depth));
  moves.ClosedPathBegin();
  moves.ArcX(cx + reach, cx, cy);
  moves.ArcXY(cx - reach, cy);
  moves.ClosedPathEnd();
  moves.Retract();
  moves.End();
}

// Four sides Tool Radius outside the rectangle's, joined by arcs of `corner` + Tool Radius about
// the centres of its corners, which lie `corner` inside the rectangle's corners.
void MakeRoundedBox(const JobParameters& job, Float64 corner, PathMaker& moves) {
  const Float64 T = Float32(job.ToolRadius);
  const Float64 left = Float64(job.CenterX) - Float64(job.Width) / 2.0;
  const Float64 bottom = Float64(job.CenterY) - Float64(job.Height) / 2.0;
  const Float64 right = left + job.Width, top = bottom + job.Height;
  const Float64 x0 = left + corner, x1 = right - corner;  // the corner centres
  const Float64 y0 = bottom + corner, y1 = top - corner;
  moves.Rapid(x0, bottom - T);
  moves.Plunge(Float32(job.Depth));
  moves.ClosedPathBegin();
  moves.CutX(x1);
  moves.ArcXY(right + T, y0, x1, y0);
  moves.CutY(y1);
  moves.ArcXY(x1, top + T, x1, y1);
  moves.CutX(x0);
  moves.ArcXY(left - T, y1, x0, y1);
  moves.CutY(y0);
  moves.ArcXY(x0, bottom - T, x0, y0);
  moves.ClosedPathEnd();
  moves.Retract();
  moves.End();
}

}  // namespace

void MakeCircleOutside(const JobParameters& job, ToolpathSink& sink) {
  PathMaker moves(sink);
  MakeCircle(job, moves);
}

void MakeRectangleOutside(const JobParameters& job, ToolpathSink& sink) {
  PathMaker moves(sink);
  MakeRoundedBox(job, 0.0, moves);
}

void MakeRoundedRectangleOutside(const JobParameters& job, ToolpathSink& sink) {
  PathMaker moves(sink);
  MakeRoundedBox(job, job.CornerRadius, moves);
}

}  // namespace quorrel
