#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "gcode/save_command.h"

namespace quorrel::cli {

/// What one run of quorrel-gcode was asked to do.
struct CommandLine {
  SaveRequest request;                    ///< the job; missing options keep the window's defaults
  std::optional<std::string> outputPath;  ///< standard output when absent
  bool help = false;
  bool version = false;
};

/// An unknown option, an unknown shape or a missing value.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Reads the arguments after the program name. Field texts are taken exactly as given, a text
/// that starts with "-" included (`--depth=-2` and `--depth -2` alike).
CommandLine ParseCommandLine(std::span<const std::string_view> arguments);

/// The short synopsis shown with a usage error.
std::string_view UsageSynopsis();
/// The whole of --help.
std::string_view HelpText();

}  // namespace quorrel::cli
