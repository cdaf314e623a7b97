#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "gcode/job/field_table.h"
#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/shapes/din_layout.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/toolpath/contour.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// One operation Quorrel cuts, and everything the roads to its program know of it, in one
/// place: its name, the fields it is made from, its title, its contour, how its paths are made,
/// and the lines of the window's program of it. Adding an operation is adding an entry.
struct Operation {
  ShapeKind kind;
  std::string_view name;        ///< as the command line names it: "rounded-rectangle"
  std::string_view titleWords;  ///< what its title begins with: "rectangle rounded corner H"
  unsigned fields;              ///< the fields it is made from, a bit for each Field
  /// The program's title, copying field texts as typed.
  std::string (*title)(const FieldTexts& texts, std::string_view decimalSeparator);
  /// Its outline as a machinist draws it.
  Contour (*contour)(const JobParameters& job);
  /// Its paths: the outline inside the contour, or with Fill the pocket in rings `spacing` apart.
  void (*make)(const JobParameters& job, const RingSpacing& spacing, ToolpathSink& sink);
  /// Its outline cut from outside the contour.
  void (*makeOutside)(const JobParameters& job, ToolpathSink& sink);
  /// The lines of the window's program of the job, cut inside or outside the contour.
  const DinLayout& (*dinLayout)(const JobParameters& job, bool outside);

  bool UsesField(Field field) const { return (fields & FieldBit(field)) != 0; }
  static constexpr unsigned FieldBit(Field field) { return 1U << static_cast<unsigned>(field); }
  static constexpr unsigned FieldBits(std::initializer_list<Field> fields) {
    unsigned bits = 0;
    for (const Field field : fields) bits |= FieldBit(field);
    return bits;
  }
};

/// The operations, in the order of the window's shape options and then the command line's.
std::span<const Operation> Operations();
/// The operation of `kind`.
const Operation& OperationOf(ShapeKind kind);
/// The operation the command line names `name`, or none.
const Operation* OperationNamed(std::string_view name);

/// The job's title, contour and the window's program's lines, as its operation has them.
std::string ProgramTitleText(const JobParameters& job, const FieldTexts& texts,
                             std::string_view decimalSeparator);
Contour ContourOf(const JobParameters& job);
/// Whether a title begins with an operation's own words, as every title Quorrel writes does.
bool BeginsWithShapeWords(std::string_view title);

}  // namespace quorrel
