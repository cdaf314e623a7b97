#include "gcode/shapes/rounded_rectangle_program.h"

#include "gcode/job/job_refusal.h"
#include "gcode/shapes/center_stroke.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/shapes/program_title.h"

namespace quorrel {
namespace {

// Counter-clockwise from above the start of the bottom side; each corner an arc about the
// corner's centre.
void WriteOutlineWithArcs(const RectanglePath& r, Float64 R, ProgramWriter& writer) {
  const auto [L, B, W, H, T, D] = r;
  writer.WriteLine(ProgramLine{"N20 G0 X", L + R, " Y", B + T, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N30 G1 Z", D});
  writer.WriteLine(ProgramLine{"N40 G1 X", L + (W - R)});
  writer.WriteLine(
      ProgramLine{"N50 G3 X", L + (W - T), " Y", B + R, " I", L + (W - R), " J", B + R});
  writer.WriteLine(ProgramLine{"N60 G1 Y", B + (H - R)});
  writer.WriteLine(ProgramLine{"N70 G3 X", L + (W - R), " Y", B + (H - T), " I", L + (W - R), " J",
                               B + (H - R)});
  writer.WriteLine(ProgramLine{"N80 G1 X", L + R});
  writer.WriteLine(
      ProgramLine{"N90 G3 X", L + T, " Y", B + (H - R), " I", L + R, " J", B + (H - R)});
  writer.WriteLine(ProgramLine{"N100 G1 Y", B + R});
  writer.WriteLine(ProgramLine{"N110 G3 X", L + R, " Y", B + T, " I", L + R, " J", B + R});
  writer.WriteLine(ProgramLine{"N120 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N130  M30"});
}

// A ring whose corners are arcs about the outline's corner centres, of radius R - (ringOffset + T).
void WriteRoundedRing(const RectanglePath& r, Float64 R, Float32 ringOffset, Float32 ringInset,
                      ProgramWriter& writer) {
  const auto [L, B, W, H, T, D] = r;
  writer.WriteLine(ProgramLine{"N41 G1 X", L + R, " Y", (B + T) + ringOffset});
  writer.WriteLine(ProgramLine{"N42 G1 X", L + (W - R)});
  writer.WriteLine(
      ProgramLine{"N43 G3 X", L + (W - ringInset), " Y", B + R, " I", L + (W - R), " J", B + R});
  writer.WriteLine(ProgramLine{"N44 G1 Y", B + (H - R)});
  writer.WriteLine(ProgramLine{"N45 G3 X", L + (W - R), " Y", B + (H - ringInset), " I",
                               L + (W - R), " J", B + (H - R)});
  writer.WriteLine(ProgramLine{"N46 G1 X", L + R});
  writer.WriteLine(ProgramLine{"N47 G3 X", (L + T) + ringOffset, " Y", B + (H - R), " I", L + R,
                               " J", B + (H - R)});
  writer.WriteLine(ProgramLine{"N48 G1 Y", B + R});
  writer.WriteLine(
      ProgramLine{"N49 G3 X", L + R, " Y", (B + T) + ringOffset, " I", L + R, " J", B + R});
}

void WriteSquareRing(const RectanglePath& r, Float32 ringOffset, Float32 ringInset,
                     ProgramWriter& writer) {
  const auto [L, B, W, H, T, D] = r;
  writer.WriteLine(ProgramLine{"N50 G1 X", (L + T) + ringOffset, " Y", (B + T) + ringOffset});
  writer.WriteLine(ProgramLine{"N51 G1 X", L + (W - ringInset)});
  writer.WriteLine(ProgramLine{"N52 G1 Y", B + (H - ringInset)});
  writer.WriteLine(ProgramLine{"N53 G1 X", (L + T) + ringOffset});
  writer.WriteLine(ProgramLine{"N54 G1 Y", (B + T) + ringOffset});
}

// The offset of the innermost ring, rounded before it is compared with the room there is.
Float32 FirstRingOffset(const RectanglePath& r, Float64 stepOver, double percent) {
  const Float64 room = RingRoom(r);
  const std::int16_t rings = StepsWithin(room, stepOver, percent);
  Float32 offset = Narrow32(Round3(stepOver * rings));
  if (offset > room) offset = Narrow32(Round3(offset - stepOver));
  return OffsetWithinRoom(offset, room);
}

void WriteFill(const RectanglePath& r, Float64 R, const RingSpacing& spacing,
               ProgramWriter& writer) {
  const Float32 T = r.toolRadius;
  // The inner rings lose their rounded corners: they are spaced as square rings are.
  const Float64 stepOver = spacing.StepFor(T, true);
  const Float32 firstOffset = FirstRingOffset(r, stepOver, spacing.PercentFor(true));
  CenterStroke(r, firstOffset, stepOver).Write("N40 G1 X", writer);

  CutRingsOutward(firstOffset, stepOver, [&](Float32 ringOffset) {
    const Float32 ringInset = RingInset(ringOffset, T);
    if (R - ringInset > 0.0) {
      WriteRoundedRing(r, R, ringOffset, ringInset, writer);
    } else {
      WriteSquareRing(r, ringOffset, ringInset, writer);
    }
  });
  writer.WriteLine(ProgramLine{"N80 G1 Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N90  M30"});
}

}  // namespace

void WriteRoundedRectangleProgram(const JobParameters& job, const FieldTexts& texts,
                                  ProgramWriter& writer, std::string_view decimalSeparator,
                                  const RingSpacing& spacing) {
  RequireCuttable(job);
  const RectanglePath rectangle = RectanglePathOf(job);
  const Float64 R = job.CornerRadius;

  WriteProgramTitle(job, texts, writer, decimalSeparator);
  if (job.Fill) {
    WriteFill(rectangle, R, spacing, writer);
  } else if (rectangle.toolRadius < R) {
    WriteOutlineWithArcs(rectangle, R, writer);
  } else {
    // The corners are too tight for the tool to follow: the plain rectangle at inset Tool Radius.
    WriteInsetRectangle(rectangle, writer);
  }
  writer.Close();
}

}  // namespace quorrel
