#include "gcode/rectangle_program.h"

#include "gcode/job_refusal.h"
#include "gcode/pocket_fill.h"
#include "gcode/ring_count.h"

namespace quorrel {
namespace {

struct Rectangle {
  Float64 leftX, bottomY, width, height;
  Float32 toolRadius, depth;
};

// Counter-clockwise from the inset lower-left corner, back to it.
void WriteOutline(const Rectangle& r, ProgramWriter& writer) {
  const auto [L, B, W, H, T, D] = r;
  writer.WriteLine(ProgramLine{"N20 G0 X", L + T, " Y", B + T, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N30 G1 Z", D});
  writer.WriteLine(ProgramLine{"N40 G1 X", L + (W - T)});
  writer.WriteLine(ProgramLine{"N50 G1 Y", B + (H - T)});
  writer.WriteLine(ProgramLine{"N60 G1 X", L + T});
  writer.WriteLine(ProgramLine{"N70 G1 Y", B + T});
  writer.WriteLine(ProgramLine{"N80 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N90  M30"});
}

// The offset of the innermost ring: the largest whole number of steps that fits inside the
// outline path, rounded to 3 decimals.
Float32 FirstRingOffset(const Rectangle& r, Float64 stepOver) {
  const Float64 shortSide = r.width >= r.height ? r.height : r.width;
  const Float64 ringLimit = shortSide / 2.0 - r.toolRadius;
  const std::int16_t rings = RingCount((ringLimit / stepOver).value());
  Float32 offset = Narrow32(stepOver * rings);
  if (offset > ringLimit) offset = Narrow32(offset - stepOver);
  return OffsetWithinRoom(Narrow32(Round3(offset)), ringLimit);
}

void WriteFill(const Rectangle& r, ProgramWriter& writer) {
  const Float64 L = r.leftX, B = r.bottomY, W = r.width, H = r.height;
  const Float32 T = r.toolRadius, D = r.depth;
  const Float64 stepOver = 1.5 * T;
  const Float32 firstOffset = FirstRingOffset(r, stepOver);

  const CentreStroke stroke(L, B, W, H, T, firstOffset, stepOver);
  const PathPoint start = stroke.Start();
  writer.WriteLine(ProgramLine{"N20 G0 X", start.x, " Y", start.y, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N30 G1 Z", D});
  const PathPoint end = stroke.End();
  writer.WriteLine(ProgramLine{"N20 G1 X", end.x, " Y", end.y});

  CutRingsOutward(firstOffset, stepOver, [&](Float32 O) {
    const Float32 V = Narrow32(O + T);
    writer.WriteLine(ProgramLine{"N20 G1 X", (L + T) + O, " Y", (B + T) + O});
    writer.WriteLine(ProgramLine{"N40 G1 X", L + (W - V)});
    writer.WriteLine(ProgramLine{"N50 G1 Y", B + (H - V)});
    writer.WriteLine(ProgramLine{"N60 G1 X", (L + T) + O});
    writer.WriteLine(ProgramLine{"N70 G1 Y", (B + T) + O});
  });
  writer.WriteLine(ProgramLine{"N80 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N90  M30"});
}

}  // namespace

void WriteRectangleProgram(const JobParameters& job, const FieldTexts& texts,
                           ProgramWriter& writer) {
  RequireCuttable(job);
  const Float64 width = job.Width;
  const Float64 height = job.Height;
  const Rectangle rectangle{job.CenterX - width / 2.0, job.CenterY - height / 2.0, width, height,
                            Float32(job.ToolRadius),   Float32(job.Depth)};

  writer.WriteLine(ProgramLine{"N10 ( rectangle H", CommentText{texts.WidthText}, " x W",
                               CommentText{texts.HeightText}, " )"});
  if (job.Fill) {
    WriteFill(rectangle, writer);
  } else {
    WriteOutline(rectangle, writer);
  }
  writer.Close();
}

}  // namespace quorrel
