#pragma once

#include "gcode/job/field_texts.h"
#include "gcode/job/shape_kind.h"

namespace quorrel {

/// The Z of every approach and retract of the window's programs, the work surface; written like
/// any coordinate, as "0".
inline constexpr double ZeroHeight = 0.0;

/// The parsed, rounded numbers of one job and the two choices. Tool Radius and Depth are held in
/// 32 bits, everything else in 64. A drilling pattern's counts and angle follow the window's
/// seven.
struct JobParameters {
  double CenterX = 0.0;
  double CenterY = 0.0;
  double Width = 0.0;
  double Height = 0.0;
  double CornerRadius = 0.0;  ///< the Radius field: the circle's radius and the corners' radius
  float ToolRadius = 0.0F;
  float Depth = 0.0F;
  quorrel::ShapeKind ShapeKind = quorrel::ShapeKind::Rectangle;
  bool Fill = false;
  double Holes = 4.0;       ///< a bolt-hole circle's count
  double StartAngle = 0.0;  ///< its first hole's, in degrees counter-clockwise from +X
  double Columns = 2.0;     ///< a grid's holes across
  double Rows = 2.0;        ///< and up
};

/// Parses every field with ParseFieldNumber and rounds it with Round3, whatever the shape; Tool
/// Radius and Depth are narrowed to 32 bits before and after the rounding. A pattern's counts and
/// angle are no lengths: `scale` leaves them as they are. `scale` (1, or 10 for
/// a program made in tenths of its unit) multiplies each number before it is rounded.
/// Raises ArithmeticFault(Overflow) naming the field when a number lies beyond the 64-bit range,
/// or a Tool Radius or Depth beyond the 32-bit range.
JobParameters MakeJobParameters(const FieldTexts& texts, ShapeKind shape, bool fill,
                                double scale = 1.0);

/// The Tool Radius alone, as MakeJobParameters forms it, for those who need no other field.
float MakeToolRadius(const FieldTexts& texts, double scale = 1.0);
/// The Radius alone, as MakeJobParameters forms it in the machine's unit: what a title quotes.
double MakeCornerRadius(const FieldTexts& texts);

}  // namespace quorrel
