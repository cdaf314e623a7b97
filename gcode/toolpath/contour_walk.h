#pragma once

#include <vector>

#include "gcode/toolpath/contour.h"
#include "gcode/toolpath/move_geometry.h"

namespace quorrel {

/// Two places along a walk nearer than this are one, in the program's units.
inline constexpr double kSameAlongWalk = 1e-9;

/// A contour walked once round, counter-clockwise from the middle of its bottom side: its sides
/// and corner arcs, each where the walk passes it. A circle is all arcs; a rectangle's corners
/// are arcs of radius 0.
class ContourWalk {
 public:
  /// One side or corner of the contour.
  struct Piece {
    bool arc = false;
    double from = 0.0, to = 0.0;  ///< how far along the walk it begins and ends
    Point start{}, end{};
    Point center{};           ///< an arc's centre
    double radius = 0.0;      ///< an arc's radius
    double startAngle = 0.0;  ///< where an arc begins, in radians; it turns a quarter
    Point direction{};        ///< a side's direction of walk, of length 1

    double length() const { return to - from; }
    /// The point `along` into the piece.
    Point PointAt(double along) const;
    /// The direction into the shape, at `along` into the piece.
    Point Inward(double along) const;
  };

  explicit ContourWalk(const Contour& contour);

  double length() const { return length_; }
  const std::vector<Piece>& pieces() const { return pieces_; }
  /// The piece the walk is on after `s` (taken round the contour), and how far into it.
  const Piece& PieceAt(double s, double* along) const;
  Point PointAt(double s) const;
  /// `s` taken round into [0, length).
  double Wrapped(double s) const;

 private:
  std::vector<Piece> pieces_;
  double length_ = 0.0;
};

}  // namespace quorrel
