#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "gcode/numbers/coord.h"

namespace quorrel {

/// Room that one number's text can need: 309 integer digits of the largest double, a sign and
/// a few more.
inline constexpr std::size_t kMaxNumberTextLength = 330;

/// The text of every coordinate: rounded by Round3, "." as the point, no "0" before the point
/// below 1, no trailing zeros, no point when whole, no "+", no blank, never an exponent below
/// 10^15. A 64-bit value keeps at most 15 significant digits.
/// FormatCoord(-0.25) == "-.25"; FormatCoord(0.0004) == "0"; FormatCoord(12.3456) == "12.346".
std::string FormatCoord(double x);

/// The same rule for a value held as a 32-bit float and written on its own (the plunge depth):
/// at most 7 significant digits. FormatCoord(-1.25f) == "-1.25"; FormatCoord(0.1f) == ".1".
std::string FormatCoord(float x);

/// Writes FormatCoord's text at `out`, which must have kMaxNumberTextLength bytes of room;
/// returns the end of the text.
char* FormatCoordTo(char* out, double x);
char* FormatCoordTo(char* out, float x);
/// A coordinate's own text, with no second rounding.
char* FormatCoordTo(char* out, Coord x);

/// Moves the point of the number text from `start` to `end`, in FormatCoord's form, one place
/// left, keeping that form: the text, in a unit ten times larger, of a length made in tenths of
/// it. "8.125" becomes ".8125", "120" "12", ".5" ".05", "0" stays. Returns the new end, at most
/// one byte after the old.
char* MovePointLeft(char* start, char* end);
/// The same for a text in memory: MovePointLeft("-1.25") == "-.125".
std::string MovePointLeft(std::string_view text);
/// Moves the point one place right, the other way: ".8125" becomes "8.125", "12" "120", ".05"
/// ".5". The text must be in FormatCoord's form.
std::string MovePointRight(std::string_view text);

/// A whole number's digits, as a block number is written: WriteWholeNumber(out, 40) writes "40".
char* WriteWholeNumber(char* out, std::uint64_t number);

/// The text of an arc's centre offset in a controller's program: FormatCoord's form, to four
/// decimals, so that a centre exactly between two written ends can be said exactly enough.
/// FormatCenterOffset(0.7085) == ".7085"; FormatCenterOffset(-2.5) == "-2.5".
std::string FormatCenterOffset(double x);
char* FormatCenterOffsetTo(char* out, double x);
/// The value FormatCenterOffset's text for x says: CenterOffsetValue(0.70854) == 0.7085.
double CenterOffsetValue(double x);

/// The ordinary number text, for the one number a comment quotes: a "0" before the point below
/// 1, at most 15 significant digits, the given decimal separator (the user's locale's).
/// FormatNumberPlain(0.5, ".") == "0.5"; FormatNumberPlain(2.25, ",") == "2,25".
std::string FormatNumberPlain(double x, std::string_view decimalSeparator);

}  // namespace quorrel
