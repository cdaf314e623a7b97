#include "gcode/toolpath/path_maker.h"

#include "gcode/job/job_parameters.h"

namespace quorrel {
namespace {

Coord Written(Float64 value) {
  return Coord::Of(value.value());
}

}  // namespace

void PathMaker::Make(MoveKind kind, MoveRole role, std::uint8_t words, Coord x, Coord y, Coord z) {
  // Built field by field from coordinates in registers: a point handed over in memory is read
  // back whole before its parts are stored, which stalls every move.
  ToolMove move;
  move.kind = kind;
  move.role = role;
  move.from = at_;
  move.to.x = x;
  move.to.y = y;
  move.to.z = z;
  move.centerX = centerX_;
  move.centerY = centerY_;
  move.words = words;
  at_.x = x;
  at_.y = y;
  at_.z = z;
  sink_.Move(move);
}

void PathMaker::Rapid(Float64 x, Float64 y) {
  Make(MoveKind::Rapid, MoveRole::Approach, kWordsXY | kWordZ, Written(x), Written(y),
       Coord::Of(ZeroHeight));
}

void PathMaker::Plunge(Float32 depth) {
  Make(MoveKind::Feed, MoveRole::Plunge, kWordZ, at_.x, at_.y, Coord::Of(depth.value()));
}

void PathMaker::CutX(Float64 x) {
  Make(MoveKind::Feed, MoveRole::Cut, kWordX, Written(x), at_.y, at_.z);
}

void PathMaker::CutY(Float64 y) {
  Make(MoveKind::Feed, MoveRole::Cut, kWordY, at_.x, Written(y), at_.z);
}

void PathMaker::CutXY(Float64 x, Float64 y) {
  Make(MoveKind::Feed, MoveRole::Cut, kWordsXY, Written(x), Written(y), at_.z);
}

void PathMaker::Arc(std::uint8_t words, Coord x, Coord y, Float64 centerX, Float64 centerY) {
  centerX_ = Written(centerX);
  centerY_ = Written(centerY);
  Make(MoveKind::ArcCounterClockwise, MoveRole::Cut, words, x, y, at_.z);
}

void PathMaker::ArcX(Float64 x, Float64 centerX, Float64 centerY) {
  Arc(kWordX | kWordCenter, Written(x), at_.y, centerX, centerY);
}

void PathMaker::ArcXY(Float64 x, Float64 y) {
  Make(MoveKind::ArcCounterClockwise, MoveRole::Cut, kWordsXY, Written(x), Written(y), at_.z);
}

void PathMaker::ArcXY(Float64 x, Float64 y, Float64 centerX, Float64 centerY) {
  Arc(kWordsXY | kWordCenter, Written(x), Written(y), centerX, centerY);
}

void PathMaker::Drill(Float64 x, Float64 y, Float32 depth) {
  Make(MoveKind::Drill, MoveRole::Cut, kWordsXY | kWordZ, Written(x), Written(y),
       Coord::Of(depth.value()));
}

void PathMaker::Retract() {
  Make(MoveKind::Feed, MoveRole::Retract, kWordZ, at_.x, at_.y, Coord::Of(ZeroHeight));
}

}  // namespace quorrel
