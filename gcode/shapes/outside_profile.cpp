#include "gcode/shapes/outside_profile.h"

#include "gcode/numbers/checked_float.h"
#include "gcode/shapes/program_title.h"

namespace quorrel {
namespace {

void WriteCircle(const JobParameters& job, ProgramWriter& writer) {
  const Float64 cx = job.CenterX, cy = job.CenterY;
  const Float64 reach = Float64(job.CornerRadius) + Float32(job.ToolRadius);
  writer.WriteLine(ProgramLine{"N20 G0 X", cx - reach, " Y", cy, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N30 G1 Z", Float32(job.Depth)});
  writer.WriteLine(ProgramLine{"N40 G3 X", cx + reach, " I", cx, " J", cy});
  writer.WriteLine(ProgramLine{"N50 G3 X", cx - reach, " Y", cy});
  writer.WriteLine(ProgramLine{"N60 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N70 M30"});
}

// Four sides Tool Radius outside the rectangle's, joined by arcs of `corner` + Tool Radius about
// the centres of its corners, which lie `corner` inside the rectangle's corners.
void WriteRoundedBox(const JobParameters& job, Float64 corner, ProgramWriter& writer) {
  const Float64 T = Float32(job.ToolRadius);
  const Float64 left = Float64(job.CenterX) - Float64(job.Width) / 2.0;
  const Float64 bottom = Float64(job.CenterY) - Float64(job.Height) / 2.0;
  const Float64 right = left + job.Width, top = bottom + job.Height;
  const Float64 x0 = left + corner, x1 = right - corner;  // the corner centres
  const Float64 y0 = bottom + corner, y1 = top - corner;
  writer.WriteLine(ProgramLine{"N20 G0 X", x0, " Y", bottom - T, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N30 G1 Z", Float32(job.Depth)});
  writer.WriteLine(ProgramLine{"N40 G1 X", x1});
  writer.WriteLine(ProgramLine{"N50 G3 X", right + T, " Y", y0, " I", x1, " J", y0});
  writer.WriteLine(ProgramLine{"N60 G1 Y", y1});
  writer.WriteLine(ProgramLine{"N70 G3 X", x1, " Y", top + T, " I", x1, " J", y1});
  writer.WriteLine(ProgramLine{"N80 G1 X", x0});
  writer.WriteLine(ProgramLine{"N90 G3 X", left - T, " Y", y1, " I", x0, " J", y1});
  writer.WriteLine(ProgramLine{"N100 G1 Y", y0});
  writer.WriteLine(ProgramLine{"N110 G3 X", x0, " Y", bottom - T, " I", x0, " J", y0});
  writer.WriteLine(ProgramLine{"N120 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N130  M30"});
}

}  // namespace

void WriteOutsideProfile(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                         std::string_view decimalSeparator) {
  WriteProgramTitle(job, texts, writer, decimalSeparator);
  switch (job.ShapeKind) {
    case ShapeKind::Circle:
      WriteCircle(job, writer);
      break;
    case ShapeKind::Rectangle:
      WriteRoundedBox(job, 0.0, writer);
      break;
    case ShapeKind::RoundedRectangle:
      WriteRoundedBox(job, job.CornerRadius, writer);
      break;
  }
  writer.Close();
}

}  // namespace quorrel
