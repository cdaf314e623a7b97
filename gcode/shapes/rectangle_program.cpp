#include "gcode/shapes/rectangle_program.h"

#include "gcode/job/job_refusal.h"
#include "gcode/shapes/center_stroke.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/shapes/program_title.h"

namespace quorrel {
namespace {

// The offset of the innermost ring: the largest whole number of steps that fits inside the
// outline path, rounded to 3 decimals.
Float32 FirstRingOffset(const RectanglePath& r, Float64 stepOver, double percent) {
  const Float64 ringLimit = RingRoom(r);
  const std::int16_t rings = StepsWithin(ringLimit, stepOver, percent);
  Float32 offset = Narrow32(stepOver * rings);
  if (offset > ringLimit) offset = Narrow32(offset - stepOver);
  return OffsetWithinRoom(Narrow32(Round3(offset)), ringLimit);
}

void WriteFill(const RectanglePath& r, const RingSpacing& spacing, ProgramWriter& writer) {
  const Float64 L = r.leftX, B = r.bottomY, W = r.width, H = r.height;
  const Float32 T = r.toolRadius;
  const Float64 stepOver = spacing.StepFor(T, true);
  const Float32 firstOffset = FirstRingOffset(r, stepOver, spacing.PercentFor(true));
  CenterStroke(r, firstOffset, stepOver).Write("N20 G1 X", writer);

  CutRingsOutward(firstOffset, stepOver, [&](Float32 ringOffset) {
    const Float32 ringInset = RingInset(ringOffset, T);
    writer.WriteLine(ProgramLine{"N20 G1 X", (L + T) + ringOffset, " Y", (B + T) + ringOffset});
    writer.WriteLine(ProgramLine{"N40 G1 X", L + (W - ringInset)});
    writer.WriteLine(ProgramLine{"N50 G1 Y", B + (H - ringInset)});
    writer.WriteLine(ProgramLine{"N60 G1 X", (L + T) + ringOffset});
    writer.WriteLine(ProgramLine{"N70 G1 Y", (B + T) + ringOffset});
  });
  writer.WriteLine(ProgramLine{"N80 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N90  M30"});
}

}  // namespace

void WriteRectangleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                           const RingSpacing& spacing) {
  RequireCuttable(job);
  const RectanglePath rectangle = RectanglePathOf(job);

  WriteProgramTitle(job, texts, writer, ".");
  if (job.Fill) {
    WriteFill(rectangle, spacing, writer);
  } else {
    WriteInsetRectangle(rectangle, writer);
  }
  writer.Close();
}

}  // namespace quorrel
