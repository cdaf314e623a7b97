#include "gcode/shapes/circle_program.h"

#include "gcode/job/job_refusal.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/shapes/program_title.h"

namespace quorrel {
namespace {

struct Circle {
  Float64 leftX, bottomY, radius;
  Float32 toolRadius, depth;
};

void WriteOutline(const Circle& c, ProgramWriter& writer) {
  const auto [L, B, R, T, D] = c;
  writer.WriteLine(ProgramLine{"N20 G0 X", L + T, " Y", B + R, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N30 G1 Z", D});
  writer.WriteLine(ProgramLine{"N40 G3 X", L + (R * 2.0 - T), " I", L + R, " J", B + R});
  writer.WriteLine(ProgramLine{"N50 G3 X", L + T, " Y", B + R});
  writer.WriteLine(ProgramLine{"N60 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N70 M30"});
}

// The offset of the innermost ring. A single step (n = 1) keeps one whole StepOver, so the
// tool's first circle clears the plunge point's surroundings.
Float32 FirstRingOffset(const Circle& c, Float64 stepOver, double percent, Float32 cutterRadius) {
  const Float64 room = c.radius - c.toolRadius;
  const std::int16_t rings = StepsWithin(room, stepOver, percent);
  const Float32 innermost = Narrow32(Round3(stepOver * rings));
  if (rings <= 1) return innermost;
  const Float32 offset = Narrow32(Round3(innermost - stepOver));
  // The window's spacing accepts a sliver around the plunge point, at most a quarter of Tool
  // Radius wide, when the first ring lies more than a tool diameter out. A wider spacing would
  // leave a ring of material there, so its first ring is the innermost whole step instead, within
  // half a step of the centre.
  const bool leavesMaterial = room - offset > Float64(cutterRadius) * 2.0;
  return stepOver > StepOver(cutterRadius) && leavesMaterial ? innermost : offset;
}

void WriteFill(const Circle& c, const RingSpacing& spacing, ProgramWriter& writer) {
  const Float64 L = c.leftX, B = c.bottomY, R = c.radius;
  const Float32 T = c.toolRadius, D = c.depth;
  const Float64 stepOver = spacing.StepFor(T, false);
  const Float32 firstOffset =
      FirstRingOffset(c, stepOver, spacing.PercentFor(false),
                      spacing.cutterRadius ? Float32(*spacing.cutterRadius) : T);

  writer.WriteLine(ProgramLine{"N10 G0 X", L + R, " Y", B + R, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N20 G1 Z", D});
  CutRingsOutward(firstOffset, stepOver, [&](Float32 ringOffset) {
    writer.WriteLine(ProgramLine{"N30 G1 X", (L + ringOffset) + T});
    const Float32 ringInset = RingInset(ringOffset, T);
    writer.WriteLine(ProgramLine{"N40 G3 X", L + (R * 2.0 - ringInset), " I", L + R, " J", B + R});
    writer.WriteLine(ProgramLine{"N50 G3 X", (L + T) + ringOffset, " Y", B + R});
  });
  writer.WriteLine(ProgramLine{"N60 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N70  M30"});
}

}  // namespace

void WriteCircleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                        const RingSpacing& spacing) {
  RequireCuttable(job);
  const Float64 radius = job.CornerRadius;
  const Circle circle{job.CenterX - radius, job.CenterY - radius, radius, Float32(job.ToolRadius),
                      Float32(job.Depth)};

  WriteProgramTitle(job, texts, writer, ".");
  if (job.Fill) {
    WriteFill(circle, spacing, writer);
  } else {
    WriteOutline(circle, writer);
  }
  writer.Close();
}

}  // namespace quorrel
