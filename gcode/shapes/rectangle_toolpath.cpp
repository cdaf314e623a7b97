#include "gcode/shapes/rectangle_toolpath.h"

#include "gcode/job/job_refusal.h"
#include "gcode/shapes/center_stroke.h"
#include "gcode/toolpath/path_maker.h"

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

void MakeFill(const RectanglePath& r, const RingSpacing& spacing, PathMaker& moves) {
  const Float64 L = r.leftX, B = r.bottomY, W = r.width, H = r.height;
  const Float32 T = r.toolRadius;
  const Float64 stepOver = spacing.StepFor(T, true);
  const Float32 firstOffset = FirstRingOffset(r, stepOver, spacing.PercentFor(true));
  CenterStroke(r, firstOffset, stepOver).Make(moves);

  CutRingsOutward(firstOffset, stepOver, [&](Float32 ringOffset) {
    const Float32 ringInset = RingInset(ringOffset, T);
    moves.CutXY((L + T) + ringOffset, (B + T) + ringOffset);
    moves.ClosedPathBegin();
    moves.CutX(L + (W - ringInset));
    moves.CutY(B + (H - ringInset));
    moves.CutX((L + T) + ringOffset);
    moves.CutY((B + T) + ringOffset);
    moves.ClosedPathEnd();
  });
  moves.Retract();
  moves.End();
}

}  // namespace

void MakeRectangleToolpath(const JobParameters& job, const RingSpacing& spacing,
                           ToolpathSink& sink) {
  RequireCuttable(job);
  const RectanglePath rectangle = RectanglePathOf(job);
  PathMaker moves(sink);
  if (job.Fill) {
    MakeFill(rectangle, spacing, moves);
  } else {
    InsetRectangle(rectangle, moves);
  }
}

}  // namespace quorrel
