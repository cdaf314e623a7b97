#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/shape_kind.h"
#include "gcode/program/program_writer.h"
#include "gcode/strategy/cutting_strategy.h"

namespace quorrel {

/// What the window or the command line hands to a save.
struct SaveRequest {
  FieldTexts texts;
  ShapeKind shape = ShapeKind::Rectangle;
  bool fill = false;
  std::string decimalSeparator = ".";  ///< the user's locale's, for the rounded-corner radius
  /// How a controller's program cuts the job; the window always cuts as the default does.
  CuttingStrategy strategy;
};

enum class SaveOutcome {
  Written,          ///< the whole program is in the file
  Cancelled,        ///< no path was chosen; nothing was touched
  CannotWrite,      ///< the file could not be opened or written
  ArithmeticFault,  ///< a number could not be computed; the lines before the fault stay
  Refused,          ///< the job cannot be cut; nothing was touched
};

struct SaveResult {
  SaveOutcome outcome = SaveOutcome::Written;
  std::string message;  ///< for the machinist; empty when written or cancelled
};

/// Asks where the program goes (the window shows its save dialog); returns the chosen path, or
/// an empty text when the user cancels.
using ShowSaveDialog = std::function<std::string()>;
/// Opens a writer on the chosen path (created or emptied), raising OutputError when it cannot.
using OpenProgramWriter = std::function<ProgramWriter(const std::string& path)>;

/// The "Save G-Code" command. The job is parsed and rounded, and refused if it cannot be cut,
/// before the path is asked for; an empty path writes nothing; the file is created or emptied
/// and the shape's generator writes the program and closes it. Every failure comes back as an
/// outcome with a message, never as success.
SaveResult SaveGCode(const SaveRequest& request, const ShowSaveDialog& askPath,
                     const OpenProgramWriter& open = &ProgramWriter::Open);

}  // namespace quorrel
