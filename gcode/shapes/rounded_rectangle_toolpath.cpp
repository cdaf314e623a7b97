#include "gcode/shapes/rounded_rectangle_toolpath.h"

#include "gcode/job/job_refusal.h"
#include "gcode/shapes/center_stroke.h"
#include "gcode/shapes/program_title.h"
#include "gcode/shapes/rectangle_path.h"
#include "gcode/toolpath/move_maker.h"

namespace quorrel {
namespace {

// Counter-clockwise from above the start of the bottom side; each corner an arc about the
// corner's centre.
void MakeOutlineWithArcs(const RectanglePath& r, Float64 R, MoveMaker& moves) {
  const auto [L, B, W, H, T, D] = r;
  moves.Rapid(20, L + R, B + T);
  moves.Plunge(30, D);
  moves.ClosedPathBegin();
  moves.CutX(40, L + (W - R));
  moves.ArcXY(50, L + (W - T), B + R, L + (W - R), B + R);
  moves.CutY(60, B + (H - R));
  moves.ArcXY(70, L + (W - R), B + (H - T), L + (W - R), B + (H - R));
  moves.CutX(80, L + R);
  moves.ArcXY(90, L + T, B + (H - R), L + R, B + (H - R));
  moves.CutY(100, B + R);
  moves.ArcXY(110, L + R, B + T, L + R, B + R);
  moves.ClosedPathEnd();
  moves.Retract(120);
  moves.End(130, true);
}

// A ring whose corners are arcs about the outline's corner centres, of radius R - (ringOffset + T).
void MakeRoundedRing(const RectanglePath& r, Float64 R, Float32 ringOffset, Float32 ringInset,
                     MoveMaker& moves) {
  const auto [L, B, W, H, T, D] = r;
  moves.CutXY(41, L + R, (B + T) + ringOffset);
  moves.ClosedPathBegin();
  moves.CutX(42, L + (W - R));
  moves.ArcXY(43, L + (W - ringInset), B + R, L + (W - R), B + R);
  moves.CutY(44, B + (H - R));
  moves.ArcXY(45, L + (W - R), B + (H - ringInset), L + (W - R), B + (H - R));
  moves.CutX(46, L + R);
  moves.ArcXY(47, (L + T) + ringOffset, B + (H - R), L + R, B + (H - R));
  moves.CutY(48, B + R);
  moves.ArcXY(49, L + R, (B + T) + ringOffset, L + R, B + R);
  moves.ClosedPathEnd();
}

void MakeSquareRing(const RectanglePath& r, Float32 ringOffset, Float32 ringInset,
                    MoveMaker& moves) {
  const auto [L, B, W, H, T, D] = r;
  moves.CutXY(50, (L + T) + ringOffset, (B + T) + ringOffset);
  moves.ClosedPathBegin();
  moves.CutX(51, L + (W - ringInset));
  moves.CutY(52, B + (H - ringInset));
  moves.CutX(53, (L + T) + ringOffset);
  moves.CutY(54, (B + T) + ringOffset);
  moves.ClosedPathEnd();
}

// The offset of the innermost ring, rounded before it is compared with the room there is.
Float32 FirstRingOffset(const RectanglePath& r, Float64 stepOver, double percent) {
  const Float64 room = RingRoom(r);
  const std::int16_t rings = StepsWithin(room, stepOver, percent);
  Float32 offset = Narrow32(Round3(stepOver * rings));
  if (offset > room) offset = Narrow32(Round3(offset - stepOver));
  return OffsetWithinRoom(offset, room);
}

void MakeFill(const RectanglePath& r, Float64 R, const RingSpacing& spacing, MoveMaker& moves) {
  const Float32 T = r.toolRadius;
  // The inner rings lose their rounded corners: they are spaced as square rings are.
  const Float64 stepOver = spacing.StepFor(T, true);
  const Float32 firstOffset = FirstRingOffset(r, stepOver, spacing.PercentFor(true));
  CenterStroke(r, firstOffset, stepOver).Make(40, moves);

  CutRingsOutward(firstOffset, stepOver, [&](Float32 ringOffset) {
    const Float32 ringInset = RingInset(ringOffset, T);
    if (R - ringInset > 0.0) {
      MakeRoundedRing(r, R, ringOffset, ringInset, moves);
    } else {
      MakeSquareRing(r, ringOffset, ringInset, moves);
    }
  });
  moves.Retract(80);
  moves.End(90, true);
}

}  // namespace

void MakeRoundedRectangleToolpath(const JobParameters& job, const FieldTexts& texts,
                                  std::string_view decimalSeparator, ToolpathSink& sink,
                                  const RingSpacing& spacing) {
  RequireCuttable(job);
  const RectanglePath rectangle = RectanglePathOf(job);
  const Float64 R = job.CornerRadius;
  MoveMaker moves(sink);
  moves.Title(ProgramTitleText(job, texts, decimalSeparator));
  if (job.Fill) {
    MakeFill(rectangle, R, spacing, moves);
  } else if (rectangle.toolRadius < R) {
    MakeOutlineWithArcs(rectangle, R, moves);
  } else {
    // The corners are too tight for the tool to follow: the plain rectangle at inset Tool Radius.
    InsetRectangle(rectangle, moves);
  }
}

}  // namespace quorrel
