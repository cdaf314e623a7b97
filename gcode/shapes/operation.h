#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gcode/job/field_table.h"
#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/job/machine_settings.h"
#include "gcode/job/program_units.h"
#include "gcode/shapes/din_layout.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/toolpath/contour.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// A length as a text for people: the job's sizes in a drawing's legend.
using LengthWords = std::function<std::string(double)>;

/// How an operation's paths are made beyond its fields: a Fill's or a facing's spacing, and
/// where every stroke of a facing runs one way, which.
struct PathOptions {
  RingSpacing spacing;
  std::optional<Direction> oneWay;
};

/// One operation Quorrel cuts, and everything the roads to its program know of it, in one
/// place: its name, the fields it is made from, its title, its contour, how its paths are made,
/// what a controller's program of it must not be, and the lines of the window's program of it.
/// Adding an operation is adding an entry.
struct Operation {
  ShapeKind kind;
  std::string_view name;        ///< as the command line names it: "rounded-rectangle"
  std::string_view titleWords;  ///< what its title begins with: "rectangle rounded corner H"
  unsigned fields;              ///< the fields it is made from, a bit for each Field
  /// The program's title, copying field texts as typed.
  std::string (*title)(const FieldTexts& texts, std::string_view decimalSeparator);
  /// Its outline as a machinist draws it; a drilling pattern's the figure its holes stand on.
  Contour (*contour)(const JobParameters& job);
  /// Its paths: the outline inside the contour, or with Fill the pocket in rings; its holes; its
  /// facing strokes.
  void (*make)(const JobParameters& job, const PathOptions& options, ToolpathSink& sink);
  /// Its outline cut from outside the contour; none where it has no outline.
  void (*makeOutside)(const JobParameters& job, ToolpathSink& sink);
  /// The lines of the window's program of the job, cut inside or outside the contour; none for
  /// an operation that only a controller's program cuts.
  const DinLayout& (*dinLayout)(const JobParameters& job, bool outside);
  /// Why a controller's program of the job cannot be right, beyond what every operation asks
  /// (ordinary numbers, a Depth below the surface): its own sizes, counts and settings, in words
  /// whose lengths are in the machine's unit; none where it is sound, or where the outline's own
  /// checks decide (see ControllerRefusalReason).
  std::optional<std::string> (*problem)(const JobParameters& job, const PathOptions& options,
                                        const DrillSettings& drill, ProgramUnits units);
  /// Its sizes, and its pattern where it has one, as a legend lists them: "width 10, height 10".
  std::vector<std::string> (*sizes)(const JobParameters& job, const LengthWords& length);
  /// As the window's menu offers it, with its keyboard mnemonic: "&Bolt-hole circle".
  std::string_view caption;

  bool UsesField(Field field) const { return (fields & FieldBit(field)) != 0; }
  /// The window's own program cuts it.
  bool windowProgram() const { return dinLayout != nullptr; }
  /// It cuts an outline, inside or outside the contour, or with Fill a pocket.
  bool outlines() const { return makeOutside != nullptr; }
  /// It drills holes.
  bool drills() const {
    return kind == ShapeKind::Hole || kind == ShapeKind::BoltCircle || kind == ShapeKind::HoleGrid;
  }
  static constexpr unsigned FieldBit(Field field) { return 1U << static_cast<unsigned>(field); }
  static constexpr unsigned FieldBits(std::initializer_list<Field> fields) {
    unsigned bits = 0;
    for (const Field field : fields) bits |= FieldBit(field);
    return bits;
  }
};

/// The operations: the window's three shapes, in the order of its shape options, then the
/// command line's.
std::span<const Operation> Operations();
/// The operation of `kind`.
const Operation& OperationOf(ShapeKind kind);
/// The operation the command line names `name`, or none.
const Operation* OperationNamed(std::string_view name);

/// The job's title and contour, as its operation has them.
std::string ProgramTitleText(const JobParameters& job, const FieldTexts& texts,
                             std::string_view decimalSeparator);
Contour ContourOf(const JobParameters& job);
/// What an operation's size and pattern are made of, its options each after `prefix`: "its size
/// is --width and --height"; "it stands at --center-x and --center-y" for one without a size.
std::string SizeWords(const Operation& operation, std::string_view prefix);

/// Whether a title begins with an operation's own words, as every title Quorrel writes does.
bool BeginsWithShapeWords(std::string_view title);

}  // namespace quorrel
