#include "gcode/strategy/reversed_paths.h"

#include <utility>

#include "gcode/toolpath/move_geometry.h"

namespace quorrel {
namespace {

ToolMove& WithBothCoordinates(ToolMove& move) {
  if (!IsArc(move)) move.words = kWordsXY;
  return move;
}

ToolMove& Reversed(ToolMove& move) {
  std::swap(move.from, move.to);
  if (move.kind == MoveKind::ArcCounterClockwise) move.kind = MoveKind::ArcClockwise;
  return WithBothCoordinates(move);
}

}  // namespace

void ReversedPaths::Move(ToolMove& move) {
  if (inPath_) {
    path_.push_back(move);
  } else if (IsLevelCut(move) && move.feed == MoveFeed::Cutting) {
    next().Move(WithBothCoordinates(move));
  } else {
    next().Move(move);
  }
}

void ReversedPaths::ClosedPathBegin() {
  inPath_ = true;
  next().ClosedPathBegin();
}

void ReversedPaths::ClosedPathEnd() {
  // A path squeezed flat comes back to a point it passed before its end: each loop it closes so
  // is run the other way round as it closes, and what follows the last loop, which goes nowhere,
  // as it came.
  std::size_t loopFrom = 0;
  bool reversedAny = false;
  for (std::size_t end = 0; end < path_.size(); ++end) {
    const ToolMove& last = path_[end];
    if (last.from.x == last.to.x && last.from.y == last.to.y) continue;
    for (std::size_t first = loopFrom; first <= end; ++first) {
      if (!(path_[first].from.x == last.to.x && path_[first].from.y == last.to.y)) continue;
      for (std::size_t k = loopFrom; k < first; ++k) next().Move(WithBothCoordinates(path_[k]));
      for (std::size_t k = end + 1; k-- > first;) next().Move(Reversed(path_[k]));
      loopFrom = end + 1;
      reversedAny = true;
      break;
    }
  }
  if (!reversedAny) {
    for (auto move = path_.rbegin(); move != path_.rend(); ++move) next().Move(Reversed(*move));
  } else {
    for (std::size_t k = loopFrom; k < path_.size(); ++k) {
      next().Move(WithBothCoordinates(path_[k]));
    }
  }
  path_.clear();
  inPath_ = false;
  next().ClosedPathEnd();
}

}  // namespace quorrel
