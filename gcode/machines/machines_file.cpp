#include "gcode/machines/machines_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "gcode/machines/toml_values.h"
#include "gcode/output/output_error.h"
#include "gcode/output/program_destination.h"

namespace quorrel {
namespace {

std::string ConfigurationFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/quorrel";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config/quorrel";
  return "";
}

class FaultAt {
 public:
  explicit FaultAt(const std::string& path) : file_("the machines file \"" + path + "\"") {}

  MachinesFileFault operator()(const toml::source_region& where, const std::string& what) const {
    return AtLine(static_cast<int>(where.begin.line), what);
  }
  MachinesFileFault AtLine(int line, const std::string& what) const {
    return {file_ + ", line " + std::to_string(line) + ": " + what, {}};
  }
  MachinesFileFault operator()(const std::string& what) const { return {file_ + ": " + what, {}}; }

 private:
  std::string file_;
};

// One machine's table, or what is wrong with it, which names the machine where it has a name.
std::optional<MachinesFileFault> ReadMachine(const toml::table& table, const FaultAt& fault,
                                             Machine& machine) {
  const toml::node* name = table.get("name");
  if (name == nullptr || !name->is_string() || name->as_string()->get().empty()) {
    return fault(table.source(), "a machine without a name (name = \"...\")");
  }
  machine.name = name->as_string()->get();
  const auto faultOfMachine = [&](const toml::source_region& where, const std::string& what) {
    MachinesFileFault found = fault(where, what);
    found.machine = machine.name;
    return found;
  };
  for (const auto& [key, value] : table) {
    if (key.str() == "name") continue;
    const std::optional<Setting> setting = SettingNamed(key.str());
    if (!setting)
      return faultOfMachine(value.source(), "\"" + std::string(key.str()) + "\" is no setting");
    const std::optional<std::string> text = TomlValueText(value);
    if (!text)
      return faultOfMachine(value.source(), std::string(key.str()) + " needs a number or a word");
    if (auto problem = SetSetting(machine, *setting, *text)) {
      return faultOfMachine(value.source(), std::string(key.str()) + " " + *problem);
    }
  }
  if (table.get("dialect") == nullptr) {
    return faultOfMachine(table.source(), "machine \"" + machine.name + "\" needs a dialect");
  }
  if (auto missing = MissingSetting(machine)) {
    return faultOfMachine(table.source(), "machine \"" + machine.name + "\" needs " + *missing);
  }
  if (const std::optional<SettingProblem> problem = MachineProblem(machine)) {
    const std::string_view key = DescriptionOf(problem->setting).key;
    const toml::node* value = table.get(key);
    return faultOfMachine(value != nullptr ? value->source() : table.source(),
                          std::string(key) + " " + problem->words);
  }
  return std::nullopt;
}

}  // namespace

std::string MachinesFilePath() {
  const std::string folder = ConfigurationFolder();
  return folder.empty() ? "" : folder + "/machines.toml";
}

std::string WindowStateFilePath() {
  const std::string folder = ConfigurationFolder();
  return folder.empty() ? "" : folder + "/window.toml";
}

MachinesFile ReadMachinesFile(const std::string& path) {
  MachinesFile file;
  const FaultAt fault(path);
  std::optional<std::string> text;
  try {
    text = ReadSettingsFile(path);
  } catch (const std::runtime_error& error) {
    file.fault = fault(std::string("cannot be read: ") + error.what());
    return file;
  }
  if (!text) return file;
  file.text = *text;
  std::variant<toml::table, TomlFault> parsed = ParseSettingsToml(*text, path);
  if (const auto* problem = std::get_if<TomlFault>(&parsed)) {
    file.fault = fault.AtLine(problem->line, problem->what);
    return file;
  }
  const toml::table document = std::move(std::get<toml::table>(parsed));
  for (const auto& [key, value] : document) {
    if (key.str() != "machine" || !value.is_array_of_tables()) {
      file.fault = fault(value.source(), "\"" + std::string(key.str()) +
                                             "\" is not a machine ([[machine]] and its settings)");
      return file;
    }
  }
  const toml::array* tables = document["machine"].as_array();
  if (tables == nullptr) return file;
  // Every table is read, so that each mistake is told, and only its machine is lost.
  struct Table {
    Machine machine;
    toml::source_region name;  // where its name stands
    std::optional<MachinesFileFault> fault;
  };
  std::vector<Table> read;
  for (const toml::node& node : *tables) {
    Table table;
    table.fault = ReadMachine(*node.as_table(), fault, table.machine);
    if (const toml::node* name = node.as_table()->get("name")) table.name = name->source();
    read.push_back(std::move(table));
  }
  // Two machines whose names a person reads as one would be chosen one for the other.
  for (std::size_t a = 0; a < read.size(); ++a) {
    for (std::size_t b = a + 1; b < read.size(); ++b) {
      const std::string& first = read[a].machine.name;
      const std::string& second = read[b].machine.name;
      if (first.empty() || second.empty() || !SameMachineName(first, second)) continue;
      const std::string both = "the machines \"" + first + "\" (line " +
                               std::to_string(read[a].name.begin.line) + ") and \"" + second +
                               "\" (line " + std::to_string(read[b].name.begin.line) +
                               ") have one name, as a person reads it; give them names that "
                               "differ by more than blanks and capitals";
      for (Table* table : {&read[a], &read[b]}) {
        if (table->fault) continue;
        table->fault = fault(table->name, both);
        table->fault->machine = table->machine.name;
      }
    }
  }
  for (Table& table : read) {
    if (table.fault) {
      file.machineFaults.push_back(std::move(*table.fault));
    } else {
      file.machines.push_back(std::move(table.machine));
    }
  }
  return file;
}

const MachinesFileFault* MachinesFile::FaultOf(std::string_view name) const {
  for (const MachinesFileFault& found : machineFaults) {
    if (!found.machine.empty() && SameMachineName(found.machine, name)) return &found;
  }
  return nullptr;
}

std::string MachinesFileText(const std::vector<Machine>& machines) {
  std::string text =
      "# Quorrel's machines: the window's Machine menu and quorrel-gcode --machine=NAME read "
      "them.\n";
  for (const Machine& machine : machines) {
    text += "\n[[machine]]\nname = " + TomlQuoted(machine.name) + "\n";
    for (const SettingDescription& description : kSettings) {
      const std::string value = SettingText(machine, description.setting);
      if (value.empty()) continue;
      text += std::string(description.key) + " = " +
              (QuotedInSettingsFile(description.setting) ? TomlQuoted(value) : value) + "\n";
    }
  }
  return text;
}

void WriteSettingsFile(const std::string& path, const std::string& text) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  if (error) throw OutputError(path, error.message(), kDestinationUnchanged);
  std::unique_ptr<ByteSink> file = OpenProgramDestination(path);
  file->Write(text);
  file->Finish();
}

const Machine* FindMachine(const std::vector<Machine>& machines, const std::string& name) {
  for (const Machine& machine : machines) {
    if (machine.name == name) return &machine;
  }
  return nullptr;
}

WindowState ReadWindowState(const std::string& path) {
  WindowState remembered;
  try {
    const std::optional<std::string> text = ReadSettingsFile(path);
    if (!text) return remembered;
    std::variant<toml::table, TomlFault> parsed = ParseSettingsToml(*text, path);
    if (!std::holds_alternative<toml::table>(parsed)) return remembered;
    const toml::table& state = std::get<toml::table>(parsed);
    if (const auto* name = state["machine"].as_string()) remembered.machine = name->get();
    if (const toml::array* jobs = state["recent-jobs"].as_array()) {
      for (const toml::node& job : *jobs) {
        if (const auto* file = job.as_string()) remembered.recentJobs.push_back(file->get());
      }
    }
    if (const toml::table* operations = state["operation"].as_table()) {
      for (const auto& [machine, operation] : *operations) {
        if (const auto* name = operation.as_string()) {
          remembered.operations[std::string(machine.str())] = name->get();
        }
      }
    }
  } catch (const std::exception&) {
    // What the window remembers is not worth a fault: it starts with the window's own program.
    return {};
  }
  return remembered;
}

std::string WindowStateText(const WindowState& state) {
  std::string text = "# What the Quorrel window remembers between starts.\n";
  if (state.machine) text += "machine = " + TomlQuoted(*state.machine) + "\n";
  if (!state.recentJobs.empty()) {
    text += "recent-jobs = [";
    for (std::size_t i = 0; i < state.recentJobs.size(); ++i) {
      if (i > 0) text += ", ";
      text += TomlQuoted(state.recentJobs[i]);
    }
    text += "]\n";
  }
  if (!state.operations.empty()) {
    text += "\n# The operation last chosen with each machine.\n[operation]\n";
    for (const auto& [machine, operation] : state.operations) {
      text += TomlQuoted(machine) + " = " + TomlQuoted(operation) + "\n";
    }
  }
  return text;
}

}  // namespace quorrel
