#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gcode/machines/machine.h"

namespace quorrel {

/// The machines file of the user's configuration folder: $XDG_CONFIG_HOME/quorrel/machines.toml,
/// or ~/.config/quorrel/machines.toml. Empty where neither is known.
std::string MachinesFilePath();

/// What is wrong with a machines file, and where: "the machines file \"/home/x/machines.toml\",
/// line 4: feed must be above 0 (at least .001), not -5".
struct MachinesFileFault {
  std::string message;
  /// The name of the one machine the mistake makes unusable; empty where the whole file is.
  std::string machine;

  bool operator==(const MachinesFileFault&) const = default;
};

/// The machines of a file, in its order, or what is wrong with it. A file that is not there
/// holds no machines. The file is TOML, a [[machine]] table for each machine, its name and its
/// settings under the names of kSettings:
///   [[machine]]
///   name = "Shapeoko"
///   dialect = "grbl"
///   units = "mm"
///   feed = 1000
/// Every setting is checked as quorrel-gcode checks its option, names are unique as a person
/// reads them (see SameMachineName) and not empty, and a key that is not a setting is a fault,
/// so that a misspelt one is never quietly ignored. A mistake in one machine's table makes that
/// machine unusable (both, for two of one name), and the others stay usable.
struct MachinesFile {
  std::vector<Machine> machines;                 ///< the usable ones
  std::optional<MachinesFileFault> fault;        ///< what makes the whole file unusable
  std::vector<MachinesFileFault> machineFaults;  ///< what makes single machines unusable
  std::string text;  ///< the file as it was read, to see later whether it changed

  /// Whether anything in the file is wrong.
  bool HasFaults() const { return fault.has_value() || !machineFaults.empty(); }
  /// What makes the machine named `name` unusable, or nothing.
  const MachinesFileFault* FaultOf(std::string_view name) const;
};
MachinesFile ReadMachinesFile(const std::string& path);

/// The text of a machines file that holds `machines`, as ReadMachinesFile reads it.
std::string MachinesFileText(const std::vector<Machine>& machines);

/// Writes `text` to `path` through the safe save, making the folder where it is missing. Raises
/// OutputError when it cannot, the file left as it was.
void WriteSettingsFile(const std::string& path, const std::string& text);

/// The machine of the file named `name`, or nothing.
const Machine* FindMachine(const std::vector<Machine>& machines, const std::string& name);

/// What the window remembers between starts, in window.toml beside the machines file: the machine
/// it was last left with, and the operation last chosen with each machine, by its command-line
/// name ("bolt-circle"). A file that cannot be read remembers nothing.
struct WindowState {
  std::optional<std::string> machine;
  std::map<std::string, std::string> operations;  ///< machine name to operation name
  std::vector<std::string> recentJobs;            ///< job files, the newest first
};
std::string WindowStateFilePath();
WindowState ReadWindowState(const std::string& path);
std::string WindowStateText(const WindowState& state);

}  // namespace quorrel
