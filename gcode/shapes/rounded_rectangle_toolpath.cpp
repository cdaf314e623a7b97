#include "gcode/shapes/rounded_rectangle_toolpath.h"

#include "gcode/job/job_refusal.h"
#include "gcode/shapes/center_stroke.h"
#include "gcode/shapes/rectangle_path.h"
#include "gcode/toolpath/path_maker.h"

namespace quorrel {
namespace {

// Counter-clockwise from above the start of the bottom side; each corner an arc about the
// corner's centre.
void MakeOutlineWithArcs(const RectanglePath& r, Float64 R, PathMaker& moves) {
  const auto [L, B, W, H, T, D] = r;
  moves.Rapid(L + R, B + T);
  moves.Plunge(D);
  moves.ClosedPathBegin();
  moves.CutX(L + (W - R));
  moves.ArcXY(L + (W - T), B + R, L + (W - R), B + R);
  moves.CutY(B + (H - R));
  moves.ArcXY(L + (W - R), B + (H - T), L + (W - R), B + (H - R));
  moves.CutX(L + R);
  moves.ArcXY(L + T, B + (H - R), L + R, B + (H - R));
  moves.CutY(B + R);
  moves.ArcXY(L + R, B + T, L + R, B + R);
  moves.ClosedPathEnd();
  moves.Retract();
  moves.End();
}

// A ring whose corners are arcs about the outline's corner centres, of radius R - (ringOffset + T).
void MakeRoundedRing(const RectanglePath& r, Float64 R, Float32 ringOffset, Float32 ringInset,
                     PathMaker& moves) {
  const auto [L, B, W, H, T, D] = r;
  moves.CutXY(L + R, (B + T) + ringOffset);
  moves.ClosedPathBegin();
  moves.CutX(L + (W - R));
  moves.ArcXY(L + (W - ringInset), B + R, L + (W - R), B + R);
  moves.CutY(B + (H - R));
  moves.ArcXY(L + (W - R), B + (H - ringInset), L + (W - R), B + (H - R));
  moves.CutX(L + R);
  moves.ArcXY((L + T) + ringOffset, B + (H - R), L + R, B + (H - R));
  moves.CutY(B + R);
  moves.ArcXY(L + R, (B + T) + ringOffset, L + R, B + R);
  moves.ClosedPathEnd();
}

void MakeSquareRing(const RectanglePath& r, Float32 ringOffset, Float32 ringInset,
                    PathMaker& moves) {
  const auto [L, B, W, H, T, D] = r;
  moves.CutXY((L + T) + ringOffset, (B + T) + ringOffset);
  moves.ClosedPathBegin();
  moves.CutX(L + (W - ringInset));
  moves.CutY(B + (H - ringInset));
  moves.CutX((L + T) + ringOffset);
  moves.CutY((B + T) + ringOffset);
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

void MakeFill(const RectanglePath& r, Float64 R, const RingSpacing& spacing, PathMaker& moves) {
  const Float32 T = r.toolRadius;
  // The inner rings lose their rounded corners: they are spaced as square rings are.
  const Float64 stepOver = spacing.StepFor(T, true);
  const Float32 firstOffset = FirstRingOffset(r, stepOver, spacing.PercentFor(true));
  CenterStroke(r, firstOffset, stepOver).Make(moves);

  CutRingsOutward(firstOffset, stepOver, [&](Float32 ringOffset) {
    const Float32 ringInset = RingInset(ringOffset, T);
    if (R - ringInset > 0.0) {
      MakeRoundedRing(r, R, ringOffset, ringInset, moves);
    } else {
      MakeSquareRing(r, ringOffset, ringInset, moves);
    }
  });
  moves.Retract();
  moves.End();
}

}  // namespace

bool OutlineFollowsCorners(const JobParameters& job) {
  return RectanglePathOf(job).toolRadius < Float64(job.CornerRadius);
}

void MakeRoundedRectangleToolpath(const JobParameters& job, const RingSpacing& spacing,
                                  ToolpathSink& sink) {
  RequireCuttable(job);
  const RectanglePath rectangle = RectanglePathOf(job);
  const Float64 R = job.CornerRadius;
  PathMaker moves(sink);
  if (job.Fill) {
    MakeFill(rectangle, R, spacing, moves);
  } else if (OutlineFollowsCorners(job)) {
    MakeOutlineWithArcs(rectangle, R, moves);
  } else {
    // The corners are too tight for the tool to follow: the plain rectangle at inset Tool Radius.
    InsetRectangle(rectangle, moves);
  }
}

}  // namespace quorrel
