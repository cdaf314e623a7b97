#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <memory>
#include <optional>

#include "gcode/job/job_parameters.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/output/byte_sink.h"
#include "gcode/output/program_destination.h"
#include "gcode/save/checked_job.h"
#include "gcode/save/program_request.h"

namespace quorrel {

enum class SaveOutcome {
  Written,          ///< the whole program is in the file
  Cancelled,        ///< no path was chosen; nothing was touched
  CannotWrite,      ///< the file could not be opened or written
  ArithmeticFault,  ///< a number could not be computed; nothing was written
  Refused,          ///< the job cannot be cut; nothing was touched
};

struct SaveResult {
  SaveOutcome outcome = SaveOutcome::Written;
  std::string message;  ///< for the machinist; empty when written or cancelled
  /// For a refusal of a machine's setting (the tabs'), its name ("tabs", "tab-height") and the
  /// words that follow it, for a command line that names its option.
  std::string_view setting;
  std::string settingWords;
};

/// Asks where the program goes (the window shows its save dialog); returns the chosen path, or
/// an empty text when the user cancels.
using ShowSaveDialog = std::function<std::string()>;
/// Opens the destination at the chosen path, which its program replaces only once it is complete,
/// raising OutputError when it cannot.
using OpenDestination = std::function<std::unique_ptr<ByteSink>(const std::string& path)>;

/// Why the request's job cannot be saved, or nothing, and in `job` the job its fields make: a
/// number that cannot be computed, a job that cannot be cut, and for a controller one whose
/// program cannot be right (see ControllerRefusalReason), and what the writing would find (see
/// CheckProgram). SaveGCode asks this before the path, and adds to the message that nothing was
/// written; a preview shows the message as it is.
std::optional<SaveResult> CheckJob(const SaveRequest& request, CheckedJob& job);

/// What the machinist is told of an arithmetic fault: its name and what it is.
std::string FaultMessage(const ArithmeticFault& fault);
/// The same, and, where a Tool Radius that was typed in `texts` reads as 0, why.
std::string FaultMessage(const ArithmeticFault& fault, const FieldTexts& texts);

/// The "Save G-Code" command, of the window and of the command line alike. The job is parsed and
/// rounded, and refused if it cannot be cut (for a controller, if its program cannot be right),
/// before the path is asked for; an empty path writes nothing; then the job's program takes the
/// one road to its destination (see WriteJobProgram). Every failure comes back as an outcome with
/// a message, never as success.
/// `checked`, where given, receives the job as the check made it.
SaveResult SaveGCode(const SaveRequest& request, const ShowSaveDialog& askPath,
                     const OpenDestination& open = &OpenProgramDestination,
                     const ProgramObservers& observers = {}, CheckedJob* checked = nullptr);

/// Writes a program with `write` to the path `askPath` gives, once it gives one: the outcome, with
/// what the destination holds after a failure, which is what it held. `fault` says what an
/// arithmetic fault on the way was.
SaveResult WriteToChosenPath(const ShowSaveDialog& askPath, const OpenDestination& open,
                             const std::function<void(std::unique_ptr<ByteSink>)>& write,
                             const std::function<std::string(const ArithmeticFault&)>& fault);

}  // namespace quorrel
