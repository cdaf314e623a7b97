#include "gcode/shapes/rectangle_path.h"

namespace quorrel {

RectanglePath RectanglePathOf(const JobParameters& job) {
  const Float64 width = job.Width;
  const Float64 height = job.Height;
  return {job.CenterX - width / 2.0, job.CenterY - height / 2.0, width, height,
          Float32(job.ToolRadius),   Float32(job.Depth)};
}

void WriteInsetRectangle(const RectanglePath& rectangle, ProgramWriter& writer) {
  const auto [L, B, W, H, T, D] = rectangle;
  writer.WriteLine(ProgramLine{"N20 G0 X", L + T, " Y", B + T, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N30 G1 Z", D});
  writer.WriteLine(ProgramLine{"N40 G1 X", L + (W - T)});
  writer.WriteLine(ProgramLine{"N50 G1 Y", B + (H - T)});
  writer.WriteLine(ProgramLine{"N60 G1 X", L + T});
  writer.WriteLine(ProgramLine{"N70 G1 Y", B + T});
  writer.WriteLine(ProgramLine{"N80 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N90  M30"});
}

}  // namespace quorrel
