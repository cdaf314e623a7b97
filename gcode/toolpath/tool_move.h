#pragma once

#include <cstdint>

#include "gcode/numbers/coord.h"

namespace quorrel {

/// Where the tool centre is, as the program writes it.
struct ToolPoint {
  Coord x, y, z;
};

/// Before a program's first move, nothing is known of where the tool is.
inline constexpr ToolPoint kUnknownPoint{Coord::Unknown(), Coord::Unknown(), Coord::Unknown()};

enum class MoveKind : std::uint8_t {
  Rapid,                ///< G0
  Feed,                 ///< G1, a straight cut
  ArcCounterClockwise,  ///< G3, about its centre
  ArcClockwise,         ///< G2, about its centre
  Drill,                ///< a hole drilled at X, Y down to Z, as a controller's drilling cycle
  Dwell,                ///< G4: a wait of `seconds`, the tool standing where it is
};

/// What a move is for in the path it belongs to: the rapid to where the path starts, the plunge
/// into the material, a cut along the path, the way back up from it, or a travel of the program's
/// own between paths.
enum class MoveRole : std::uint8_t { Cut, Approach, Plunge, Retract, Travel };

/// The words of a line that carry a move's numbers, in the order a program writes them; an arc
/// that names its centre carries both of its centre's words.
enum MoveWord : std::uint8_t { kWordX = 1, kWordY = 2, kWordZ = 4, kWordCenter = 8 };
inline constexpr std::uint8_t kWordsXY = kWordX | kWordY;

/// Which feed a controller gives a feed move: the feed of a cut, or the plunge feed of a move
/// into the material (or out of it again).
enum class MoveFeed : std::uint8_t { Cutting, Plunging };

/// One move of the tool. Its ends are what the program writes; a line of it writes the words
/// `words`, the coordinates the move names.
struct ToolMove {
  MoveKind kind = MoveKind::Feed;
  ToolPoint from = kUnknownPoint;
  ToolPoint to = kUnknownPoint;
  double centerX = 0.0;  ///< an arc's centre, absolute
  double centerY = 0.0;
  /// A controller's arc: its centre from its start, as written (I and J). A drill: the height it
  /// starts at and retracts to (R), and its peck (Q), 0 for none: lengths that go with the move.
  double offsetX = 0.0;
  double offsetY = 0.0;
  double seconds = 0.0;  ///< a dwell's, or a drill's wait at the bottom of its hole (P)
  std::uint8_t words = 0;
  bool chipBreak = false;  ///< a drill's pecks only back off to break the chip (G73)
  MoveFeed feed = MoveFeed::Cutting;
  MoveRole role = MoveRole::Cut;
  int line = 0;  ///< the line it was read from, counted from 1; 0 for a move that was made
};

constexpr bool IsArc(const ToolMove& move) {
  return move.kind == MoveKind::ArcCounterClockwise || move.kind == MoveKind::ArcClockwise;
}

}  // namespace quorrel
