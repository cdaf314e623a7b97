#include "gcode/circle_program.h"

#include "gcode/job_refusal.h"
#include "gcode/pocket_fill.h"
#include "gcode/program_title.h"

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
Float32 FirstRingOffset(const Circle& c, Float64 stepOver) {
  const std::int16_t rings = StepsWithin(c.radius - c.toolRadius, stepOver);
  Float32 offset = Narrow32(Round3(stepOver * rings));
  if (rings > 1) offset = Narrow32(Round3(offset - stepOver));
  return offset;
}

void WriteFill(const Circle& c, ProgramWriter& writer) {
  const Float64 L = c.leftX, B = c.bottomY, R = c.radius;
  const Float32 T = c.toolRadius, D = c.depth;
  const Float64 stepOver = StepOver(T);
  const Float32 firstOffset = FirstRingOffset(c, stepOver);

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

void WriteCircleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer) {
  RequireCuttable(job);
  const Float64 radius = job.CornerRadius;
  const Circle circle{job.CenterX - radius, job.CenterY - radius, radius, Float32(job.ToolRadius),
                      Float32(job.Depth)};

  WriteProgramTitle(job, texts, writer, ".");
  if (job.Fill) {
    WriteFill(circle, writer);
  } else {
    WriteOutline(circle, writer);
  }
  writer.Close();
}

}  // namespace quorrel
