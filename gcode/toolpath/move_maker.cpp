#include "gcode/toolpath/move_maker.h"

#include "gcode/job/job_parameters.h"

namespace quorrel {
namespace {

Coord Written(Float64 value) {
  return Coord::Of(value.value());
}

}  // namespace

void MoveMaker::Make(MoveKind kind, std::uint16_t block, std::uint8_t words, Coord x, Coord y,
                     Coord z) {
  // Built field by field from coordinates in registers: a point handed over in memory is read
  // back whole before its parts are stored, which stalls every move.
  ToolMove move;
  move.kind = kind;
  move.from = at_;
  move.to.x = x;
  move.to.y = y;
  move.to.z = z;
  move.centerX = centerX_;
  move.centerY = centerY_;
  move.words = words;
  move.block = block;
  at_.x = x;
  at_.y = y;
  at_.z = z;
  sink_.Move(move);
}

void MoveMaker::Rapid(std::uint16_t block, Float64 x, Float64 y) {
  Make(MoveKind::Rapid, block, kWordsXY | kWordZ, Written(x), Written(y), Coord::Of(ZeroHeight));
}

void MoveMaker::Plunge(std::uint16_t block, Float32 depth) {
  Make(MoveKind::Feed, block, kWordZ, at_.x, at_.y, Coord::Of(depth.value()));
}

void MoveMaker::CutX(std::uint16_t block, Float64 x) {
  Make(MoveKind::Feed, block, kWordX, Written(x), at_.y, at_.z);
}

void MoveMaker::CutY(std::uint16_t block, Float64 y) {
  Make(MoveKind::Feed, block, kWordY, at_.x, Written(y), at_.z);
}

void MoveMaker::CutXY(std::uint16_t block, Float64 x, Float64 y) {
  Make(MoveKind::Feed, block, kWordsXY, Written(x), Written(y), at_.z);
}

void MoveMaker::Arc(std::uint16_t block, std::uint8_t words, Coord x, Coord y, Float64 centerX,
                    Float64 centerY) {
  centerX_ = Written(centerX);
  centerY_ = Written(centerY);
  Make(MoveKind::ArcCounterClockwise, block, words, x, y, at_.z);
}

void MoveMaker::ArcX(std::uint16_t block, Float64 x, Float64 centerX, Float64 centerY) {
  Arc(block, kWordX | kWordCenter, Written(x), at_.y, centerX, centerY);
}

void MoveMaker::ArcXY(std::uint16_t block, Float64 x, Float64 y) {
  Make(MoveKind::ArcCounterClockwise, block, kWordsXY, Written(x), Written(y), at_.z);
}

void MoveMaker::ArcXY(std::uint16_t block, Float64 x, Float64 y, Float64 centerX, Float64 centerY) {
  Arc(block, kWordsXY | kWordCenter, Written(x), Written(y), centerX, centerY);
}

void MoveMaker::Retract(std::uint16_t block) {
  Make(MoveKind::Feed, block, kWordZ, at_.x, at_.y, Coord::Of(ZeroHeight));
}

}  // namespace quorrel
