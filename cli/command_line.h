#pragma once

#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gcode/machines/setting_table.h"

#include "gcode/job/machine_settings.h"
#include "gcode/save/save_command.h"

namespace quorrel::cli {

/// What one run of quorrel-gcode was asked to do.
struct CommandLine {
  SaveRequest request;                    ///< the job; missing options keep the window's defaults
  std::optional<std::string> outputPath;  ///< standard output when absent
  std::optional<std::string>
      previewPath;                       ///< an SVG drawing of the program; "-" for standard output
  std::optional<std::string> previewOf;  ///< draw this existing program instead of writing one
  std::optional<std::string> from;       ///< convert this existing program instead of writing one
  std::optional<std::string> job;        ///< write the program of this job file instead
  /// With a job file, the options given beside it, which win over the file's own machine.
  std::vector<std::pair<Setting, std::string>> besideJob;
  /// The controller and how to drive it; with Dialect::Din the window's own program.
  MachineSettings machine;
  std::optional<std::string> machineName;  ///< --machine: the machines file's machine it came from
  std::set<std::string> given;             ///< the options given for the controller ("--tabs")
  bool toolRadiusGiven = false;            ///< --tool-radius was given (it shades a drawn program)
  bool estimate = false;                   ///< --estimate: print the run time, write no program
  bool help = false;
  bool version = false;
};

/// An unknown option, an unknown shape or a missing value.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Reads the arguments after the program name. Field texts are taken exactly as given, a text
/// that starts with "-" included (`--depth=-2` and `--depth -2` alike). Raises UsageError for
/// an unknown option or shape, a missing value, or options that contradict each other.
CommandLine ParseCommandLine(std::span<const std::string_view> arguments);

/// The short synopsis shown with a usage error.
std::string_view UsageSynopsis();
/// The whole of --help.
std::string HelpText();

}  // namespace quorrel::cli
