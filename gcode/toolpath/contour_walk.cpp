#include "gcode/toolpath/contour_walk.h"

#include <cmath>
#include <numbers>

namespace quorrel {

Point ContourWalk::Piece::PointAt(double along) const {
  if (!arc) return {start.x + along * direction.x, start.y + along * direction.y};
  const double angle = radius > 0.0 ? startAngle + along / radius : startAngle;
  return {center.x + radius * std::cos(angle), center.y + radius * std::sin(angle)};
}

Point ContourWalk::Piece::Inward(double along) const {
  if (!arc) return {-direction.y, direction.x};  // the shape lies left of a counter-clockwise walk
  const double angle = radius > 0.0 ? startAngle + along / radius : startAngle;
  return {-std::cos(angle), -std::sin(angle)};
}

ContourWalk::ContourWalk(const Contour& c) {
  const double r = c.cornerRadius;
  const double sideX = c.halfWidth - r, sideY = c.halfHeight - r;
  const double x0 = c.centerX, y0 = c.centerY;
  // A side of no length (a circle's) still has its direction.
  const auto side = [this](Point from, Point to, Point direction) {
    Piece piece;
    piece.start = from;
    piece.end = to;
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    piece.direction = direction;
    piece.from = length_;
    piece.to = length_ += length;
    pieces_.push_back(piece);
  };
  const auto corner = [this, r](Point center, double startAngle) {
    Piece piece;
    piece.arc = true;
    piece.center = center;
    piece.radius = r;
    piece.startAngle = startAngle;
    piece.start = piece.PointAt(0.0);
    piece.from = length_;
    piece.to = length_ += r * std::numbers::pi / 2;
    piece.end = piece.PointAt(piece.length());
    pieces_.push_back(piece);
  };
  constexpr double kQuarter = std::numbers::pi / 2;
  side({x0, y0 - c.halfHeight}, {x0 + sideX, y0 - c.halfHeight}, {1.0, 0.0});
  corner({x0 + sideX, y0 - sideY}, -kQuarter);
  side({x0 + c.halfWidth, y0 - sideY}, {x0 + c.halfWidth, y0 + sideY}, {0.0, 1.0});
  corner({x0 + sideX, y0 + sideY}, 0.0);
  side({x0 + sideX, y0 + c.halfHeight}, {x0 - sideX, y0 + c.halfHeight}, {-1.0, 0.0});
  corner({x0 - sideX, y0 + sideY}, kQuarter);
  side({x0 - c.halfWidth, y0 + sideY}, {x0 - c.halfWidth, y0 - sideY}, {0.0, -1.0});
  corner({x0 - sideX, y0 - sideY}, 2 * kQuarter);
  side({x0 - sideX, y0 - c.halfHeight}, {x0, y0 - c.halfHeight}, {1.0, 0.0});
}

double ContourWalk::Wrapped(double s) const {
  if (!(length_ > 0.0)) return 0.0;
  const double wrapped = std::fmod(s, length_);
  return wrapped < 0.0 ? wrapped + length_ : wrapped;
}

const ContourWalk::Piece& ContourWalk::PieceAt(double s, double* along) const {
  const double at = Wrapped(s);
  for (const Piece& piece : pieces_) {
    if (at < piece.to || &piece == &pieces_.back()) {
      *along = at - piece.from;
      return piece;
    }
  }
  *along = 0.0;
  return pieces_.front();
}

Point ContourWalk::PointAt(double s) const {
  double along = 0.0;
  const Piece& piece = PieceAt(s, &along);
  return piece.PointAt(along);
}

}  // namespace quorrel
