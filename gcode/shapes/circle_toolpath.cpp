#include "gcode/shapes/circle_toolpath.h"

#include "gcode/job/job_refusal.h"
#include "gcode/toolpath/path_maker.h"

namespace quorrel {
namespace {

struct Circle {
  Float64 leftX, bottomY, radius;
  Float32 toolRadius, depth;
};

void MakeOutline(const Circle& c, PathMaker& moves) {
  const auto [L, B, R, T, D] = c;
  moves.Rapid(L + T, B + R);
  moves.Plunge(D);
  moves.ClosedPathBegin();
  moves.ArcX(L + (R * 2.0 - T), L + R, B + R);
  moves.ArcXY(L + T, B + R);
  moves.ClosedPathEnd();
  moves.Retract();
  moves.End();
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

void MakeFill(const Circle& c, const RingSpacing& spacing, PathMaker& moves) {
  const Float64 L = c.leftX, B = c.bottomY, R = c.radius;
  const Float32 T = c.toolRadius, D = c.depth;
  const Float64 stepOver = spacing.StepFor(T, false);
  const Float32 firstOffset =
      FirstRingOffset(c, stepOver, spacing.PercentFor(false),
                      spacing.cutterRadius ? Float32(*spacing.cutterRadius) : T);

  moves.Rapid(L + R, B + R);
  moves.Plunge(D);
  CutRingsOutward(firstOffset, stepOver, [&](Float32 ringOffset) {
    moves.CutX((L + ringOffset) + T);
    const Float32 ringInset = RingInset(ringOffset, T);
    moves.ClosedPathBegin();
    moves.ArcX(L + (R * 2.0 - ringInset), L + R, B + R);
    moves.ArcXY((L + T) + ringOffset, B + R);
    moves.ClosedPathEnd();
  });
  moves.Retract();
  moves.End();
}

}  // namespace

void MakeCircleToolpath(const JobParameters& job, const RingSpacing& spacing, ToolpathSink& sink) {
  RequireCuttable(job);
  const Float64 radius = job.CornerRadius;
  const Circle circle{job.CenterX - radius, job.CenterY - radius, radius, Float32(job.ToolRadius),
                      Float32(job.Depth)};
  PathMaker moves(sink);
  if (job.Fill) {
    MakeFill(circle, spacing, moves);
  } else {
    MakeOutline(circle, moves);
  }
}

}  // namespace quorrel
