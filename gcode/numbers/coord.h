#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "gcode/numbers/thousandths.h"

namespace quorrel {

/// A coordinate as a program writes it: the value of its text, so that what a program is made
/// from, what it says and what is read back from it are one number, and writing it again gives
/// the same text. Coord::Of(-0.0625) is -.062; Coord::Of(0.1F) is .1; Coord::Of(-12345.678F) is
/// -12345.68.
class Coord {
 public:
  constexpr Coord() = default;

  /// x as FormatCoord writes a 64-bit value: to thousandths, at most 15 significant digits.
  static Coord Of(double x) {
    if (const auto thousandths = ExactThousandths(x);
        thousandths && thousandths->magnitude < kMostThousandths) {
      // One correctly rounded division gives the double nearest the decimal, as reading it
      // would.
      const double value = static_cast<double>(thousandths->magnitude) / 1000.0;
      return Coord(thousandths->negative && thousandths->magnitude != 0 ? -value : value);
    }
    return Written(x);
  }
  /// x as FormatCoord writes a 32-bit value on its own: at most 7 significant digits.
  static Coord Of(float x);
  /// `thousandths` thousandths, below 10^15 in size: the coordinate whose text they are.
  static Coord OfThousandths(std::int64_t thousandths) {
    return Coord(static_cast<double>(thousandths) / 1000.0);
  }
  /// The coordinate whose text is this one's with the point one place further left (see
  /// MovePointLeft): a length made in tenths of a unit, in that unit. Coord::Of(8.125) gives .8125.
  Coord PointMovedLeft() const { return Coord(value_ / 10.0); }
  /// A position not known yet, before a program's first move.
  static constexpr Coord Unknown() { return Coord(std::numeric_limits<double>::quiet_NaN()); }
  /// The number a text written by FormatCoord says; nothing for any other text.
  /// Parse("-.25") is -.25; Parse("0.5"), Parse("-0") and Parse("1.50") are nothing.
  static std::optional<Coord> Parse(std::string_view text);

  constexpr double value() const { return value_; }
  constexpr operator double() const { return value_; }  // NOLINT: a coordinate is its value

  /// Two coordinates are one when their texts are: when their values are.
  friend constexpr bool operator==(Coord a, Coord b) { return a.value_ == b.value_; }
  /// Shown by its value, in a test's message and wherever a stream shows one.
  template <class Stream>
  friend Stream& operator<<(Stream& out, Coord coord) {
    return out << coord.value_;
  }

 private:
  // From here on FormatCoord writes a 64-bit value in its 15 significant digits, not in
  // thousandths.
  static constexpr std::int64_t kMostThousandths = 1'000'000'000'000'000;

  constexpr explicit Coord(double value) : value_(value) {}
  // The value of FormatCoord's text for x, read back.
  static Coord Written(double x);

  double value_ = 0.0;
};

}  // namespace quorrel
