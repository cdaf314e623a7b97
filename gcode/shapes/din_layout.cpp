#include "gcode/shapes/din_layout.h"

#include <array>

namespace quorrel {
namespace {

constexpr MoveKind kCut = MoveKind::Feed;
constexpr MoveKind kArc = MoveKind::ArcCounterClockwise;
constexpr std::uint8_t kX = kWordX, kY = kWordY, kXY = kWordsXY, kZ = kWordZ;
constexpr std::uint8_t kArcCenter = kWordX | kWordCenter, kXYCenter = kWordsXY | kWordCenter;

constexpr DinLine Rapid(std::uint16_t block) {
  return {block, MoveKind::Rapid, kXY | kZ};
}
constexpr DinLine Down(std::uint16_t block) {
  return {block, kCut, kZ};
}

constexpr std::array<DinLine, 4> kSquare{
    {{40, kCut, kX}, {50, kCut, kY}, {60, kCut, kX}, {70, kCut, kY}}};
constexpr std::array<DinLine, 2> kCircle{{{40, kArc, kArcCenter}, {50, kArc, kXY}}};
constexpr std::array<DinLine, 8> kRounded{{{40, kCut, kX},
                                           {50, kArc, kXYCenter},
                                           {60, kCut, kY},
                                           {70, kArc, kXYCenter},
                                           {80, kCut, kX},
                                           {90, kArc, kXYCenter},
                                           {100, kCut, kY},
                                           {110, kArc, kXYCenter}}};
constexpr std::array<DinLine, 8> kRoundedRing{{{42, kCut, kX},
                                               {43, kArc, kXYCenter},
                                               {44, kCut, kY},
                                               {45, kArc, kXYCenter},
                                               {46, kCut, kX},
                                               {47, kArc, kXYCenter},
                                               {48, kCut, kY},
                                               {49, kArc, kXYCenter}}};
constexpr std::array<DinLine, 4> kSquareRing{
    {{51, kCut, kX}, {52, kCut, kY}, {53, kCut, kX}, {54, kCut, kY}}};

constexpr std::array<DinRing, 1> kOutlineSquare{{{std::nullopt, kSquare}}};
constexpr std::array<DinRing, 1> kFillSquare{{{DinLine{20, kCut, kXY}, kSquare}}};
constexpr std::array<DinRing, 1> kOutlineCircle{{{std::nullopt, kCircle}}};
constexpr std::array<DinRing, 1> kFillCircle{{{DinLine{30, kCut, kX}, kCircle}}};
constexpr std::array<DinRing, 1> kOutlineRounded{{{std::nullopt, kRounded}}};
constexpr std::array<DinRing, 2> kFillRounded{
    {{DinLine{41, kCut, kXY}, kRoundedRing}, {DinLine{50, kCut, kXY}, kSquareRing}}};

const DinLayout kInsetRectangle{Rapid(20), Down(30), std::nullopt, kOutlineSquare,
                                Down(80),  90,       true};
const DinLayout kRectangleFill{Rapid(20), Down(30), DinLine{20, kCut, kXY}, kFillSquare, Down(80),
                               90,        true};
const DinLayout kCircleOutline{Rapid(20), Down(30), std::nullopt, kOutlineCircle,
                               Down(60),  70,       false};
const DinLayout kCircleFill{Rapid(10), Down(20), std::nullopt, kFillCircle, Down(60), 70, true};
const DinLayout kRoundedOutline{Rapid(20), Down(30), std::nullopt, kOutlineRounded,
                                Down(120), 130,      true};
const DinLayout kRoundedFill{Rapid(20), Down(30), DinLine{40, kCut, kXY}, kFillRounded, Down(80),
                             90,        true};

const std::array<const DinLayout*, 6> kLayouts{&kInsetRectangle, &kRectangleFill,  &kCircleOutline,
                                               &kCircleFill,     &kRoundedOutline, &kRoundedFill};

}  // namespace

const DinRing* DinLayout::RingOfLength(std::size_t length) const {
  for (const DinRing& ring : rings) {
    if (ring.path.size() == length) return &ring;
  }
  return nullptr;
}

const DinLayout& InsetRectangleLayout() {
  return kInsetRectangle;
}
const DinLayout& RectangleFillLayout() {
  return kRectangleFill;
}
const DinLayout& CircleOutlineLayout() {
  return kCircleOutline;
}
const DinLayout& CircleFillLayout() {
  return kCircleFill;
}
const DinLayout& RoundedOutlineLayout() {
  return kRoundedOutline;
}
const DinLayout& RoundedFillLayout() {
  return kRoundedFill;
}

std::span<const DinLayout* const> DinLayouts() {
  return kLayouts;
}

}  // namespace quorrel
