#include "gcode/shapes/outside_profile.h"

#include "gcode/numbers/checked_float.h"
#include "gcode/shapes/program_title.h"
#include "gcode/toolpath/move_maker.h"

namespace quorrel {
namespace {

void MakeCircle(const JobParameters& job, MoveMaker& moves) {
  const Float64 cx = job.CenterX, cy = job.CenterY;
  const Float64 reach = Float64(job.CornerRadius) + Float32(job.ToolRadius);
  moves.Rapid(20, cx - reach, cy);
  moves.Plunge(30, Float32(job.Depth));
  moves.ClosedPathBegin();
  moves.ArcX(40, cx + reach, cx, cy);
  moves.ArcXY(50, cx - reach, cy);
  moves.ClosedPathEnd();
  moves.Retract(60);
  moves.End(70, false);
}

// Four sides Tool Radius outside the rectangle's, joined by arcs of `corner` + Tool Radius about
// the centres of its corners, which lie `corner` inside the rectangle's corners.
void MakeRoundedBox(const JobParameters& job, Float64 corner, MoveMaker& moves) {
  const Float64 T = Float32(job.ToolRadius);
  const Float64 left = Float64(job.CenterX) - Float64(job.Width) / 2.0;
  const Float64 bottom = Float64(job.CenterY) - Float64(job.Height) / 2.0;
  const Float64 right = left + job.Width, top = bottom + job.Height;
  const Float64 x0 = left + corner, x1 = right - corner;  // the corner centres
  const Float64 y0 = bottom + corner, y1 = top - corner;
  moves.Rapid(20, x0, bottom - T);
  moves.Plunge(30, Float32(job.Depth));
  moves.ClosedPathBegin();
  moves.CutX(40, x1);
  moves.ArcXY(50, right + T, y0, x1, y0);
  moves.CutY(60, y1);
  moves.ArcXY(70, x1, top + T, x1, y1);
  moves.CutX(80, x0);
  moves.ArcXY(90, left - T, y1, x0, y1);
  moves.CutY(100, y0);
  moves.ArcXY(110, x0, bottom - T, x0, y0);
  moves.ClosedPathEnd();
  moves.Retract(120);
  moves.End(130, true);
}

}  // namespace

void MakeOutsideProfile(const JobParameters& job, const FieldTexts& texts,
                        std::string_view decimalSeparator, ToolpathSink& sink) {
  MoveMaker moves(sink);
  moves.Title(ProgramTitleText(job, texts, decimalSeparator));
  switch (job.ShapeKind) {
    case ShapeKind::Circle:
      MakeCircle(job, moves);
      break;
    case ShapeKind::Rectangle:
      MakeRoundedBox(job, 0.0, moves);
      break;
    case ShapeKind::RoundedRectangle:
      MakeRoundedBox(job, job.CornerRadius, moves);
      break;
  }
}

}  // namespace quorrel
