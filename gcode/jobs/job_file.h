#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "gcode/machines/machines_file.h"
#include "gcode/save/program_request.h"

namespace quorrel {

/// One operation of a job: the request it is cut from (its shape, Fill, field texts and side, the
/// machine's settings as it runs them, and its strategy), the cutter that cuts it, and the line of
/// the job file its table begins on (0 where it was not read from one).
struct JobOperation {
  SaveRequest request;
  int tool = 1;
  int line = 0;
  /// The settings its table gives, as written there, in its order.
  std::vector<std::pair<Setting, std::string>> settings;

  bool operator==(const JobOperation&) const = default;
};

/// The most a tool's number may be.
inline constexpr int kHighestTool = 9999;

/// A job of one or more operations, in cutting order, all for one controller in one unit, with
/// the name of the file it is kept in ("plate.toml").
struct Job {
  std::string name;
  std::vector<JobOperation> operations;
  /// The machines file's machine its top level names, if any, and the settings beside it, as
  /// written there.
  std::optional<std::string> machine;
  std::vector<std::pair<Setting, std::string>> settings;

  bool operator==(const Job&) const = default;
};

/// What a job's machine is made of beside the job file: the machines file, for a job that names
/// a machine of it, and the options given beside the file (on the command line), which win over
/// the file's own top-level keys.
struct JobMachineSources {
  MachinesFile machines;
  std::string machinesPath;
  std::vector<std::pair<Setting, std::string>> given;
};

/// Reads a job file: TOML whose keys are quorrel-gcode's long options. Its top level holds the
/// machine, `machine = "Router"` for one of the machines file and any setting beside it (which
/// wins over the named machine's); one [[operation]] table for each operation, in cutting order,
/// holds its `shape` (default rectangle), its fields (numbers, or the texts a field takes),
/// `fill`, `side`, `tool` (a whole number, default 1) and any setting that differs for it:
///   machine = "Router"
///   [[operation]]
///   shape = "circle"
///   radius = 20
///   fill = true
/// Every mistake is told with the file, the line and the key, as a usage error would be: a key
/// that is no option, a setting or field the operation's shape does not take, a value the option
/// refuses, units or a dialect given for one operation alone. Returns the job, or the message.
std::variant<Job, std::string> ReadJobFile(const std::string& path,
                                           const JobMachineSources& sources);
/// The same for the text of a job file at `path`.
std::variant<Job, std::string> ReadJobText(std::string_view text, const std::string& path,
                                           const JobMachineSources& sources);

}  // namespace quorrel
