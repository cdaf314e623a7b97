#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "gcode/toolpath/tool_move.h"

namespace quorrel {

/// A line of the window's program: its block number, its motion and the words it writes.
struct DinLine {
  std::uint16_t block;
  MoveKind kind;
  std::uint8_t words;

  friend constexpr bool operator==(const DinLine&, const DinLine&) = default;
};

/// A closed path the window's program cuts, line by line, with the cut that takes the tool to
/// where it begins (a ring of a pocket has one; an outline starts where the plunge left it).
struct DinRing {
  std::optional<DinLine> step;
  std::span<const DinLine> path;
};

/// How the window's program of a shape lays out its lines: the block number and words of each
/// line, by the place of its move in the toolpath. Block numbers are fixed text, never counted: a
/// Fill repeats its rings' numbers. The one table that the window's writer numbers its lines by,
/// and that its reader holds a program to.
struct DinLayout {
  DinLine approach;                ///< the rapid to the start at the work surface
  DinLine plunge;                  ///< down to the depth
  std::optional<DinLine> stroke;   ///< a pocket's first cut, through its middle
  std::span<const DinRing> rings;  ///< the closed paths it may cut, of different lengths each
  DinLine retract;                 ///< back up to the work surface
  std::uint16_t endBlock;          ///< of "M30"
  bool twoBlanks;                  ///< between the end's block number and "M30"

  /// The ring whose closed path has `length` lines, or none.
  const DinRing* RingOfLength(std::size_t length) const;
};

/// The plain rectangle at inset Tool Radius: a rectangle's outline, and a rounded rectangle's
/// whose corners are too tight for the tool. "N20 G0" … "N90  M30".
const DinLayout& InsetRectangleLayout();
/// A rectangle's Fill: the stroke through its middle, then square rings.
const DinLayout& RectangleFillLayout();
/// A circle's outline, inside or outside it. "N20 G0" … "N70 M30".
const DinLayout& CircleOutlineLayout();
/// A circle's Fill: plunged at the centre, then rings, each stepped out to along X.
const DinLayout& CircleFillLayout();
/// A rounded rectangle's outline with its corner arcs, inside or outside it; and the outline
/// round the outside of a rectangle, whose corners are arcs about its own corners.
const DinLayout& RoundedOutlineLayout();
/// A rounded rectangle's Fill: the stroke, then rings with rounded corners or, where the corners
/// have closed up, square ones.
const DinLayout& RoundedFillLayout();

/// Every layout, for a reader that does not know yet which one a program follows.
std::span<const DinLayout* const> DinLayouts();

}  // namespace quorrel
