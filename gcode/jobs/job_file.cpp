#include "gcode/jobs/job_file.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "gcode/job/field_table.h"
#include "gcode/job/named_choices.h"
#include "gcode/machines/toml_values.h"
#include "gcode/numbers/ordinary_number.h"
#include "gcode/shapes/operation.h"

namespace quorrel {
namespace {

// A mistake of the file, with the line it stands on.
class JobFileMistake : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class MistakeAt {
 public:
  explicit MistakeAt(const std::string& path) : file_("the job file \"" + path + "\"") {}
  [[noreturn]] void operator()(int line, const std::string& what) const {
    throw JobFileMistake(file_ + ", line " + std::to_string(line) + ": " + what);
  }
  [[noreturn]] void operator()(const std::string& what) const {
    throw JobFileMistake(file_ + ": " + what);
  }

 private:
  std::string file_;
};

constexpr NamedChoices<bool, 2> kSides{{{"inside", false}, {"outside", true}}};

// The keys of an operation's table that are neither settings nor fields.
constexpr std::string_view kShapeKey = "shape";
constexpr std::string_view kFillKey = "fill";
constexpr std::string_view kSideKey = "side";
constexpr std::string_view kToolKey = "tool";
constexpr std::string_view kMachineKey = "machine";

const FieldDescription* FieldNamed(std::string_view key) {
  for (const FieldDescription& field : kJobFields) {
    if (field.option.substr(2) == key) return &field;
  }
  return nullptr;
}

std::string OperationNames() {
  std::vector<std::string_view> names;
  for (const Operation& operation : Operations()) names.push_back(operation.name);
  return ListedWords(names, " or ");
}

// The shape an operation's table names: a rectangle where it names none.
ShapeKind ShapeOf(const toml::table& table, const MistakeAt& mistake) {
  const toml::node* shape = table.get(kShapeKey);
  if (shape == nullptr) return ShapeKind::Rectangle;
  const Operation* named = shape->is_string() ? OperationNamed(shape->as_string()->get()) : nullptr;
  if (named == nullptr) {
    mistake(LineOf(*shape),
            "shape takes " + OperationNames() + ", not " + TomlValueText(*shape).value_or("that"));
  }
  return named->kind;
}

// Reads one of an operation's own keys (fill, side, tool, a field) into it; false for a key
// that is none of them.
bool ReadOwnKey(std::string_view name, const toml::node& value, const Operation& kind,
                const MistakeAt& mistake, JobOperation& operation, bool& outside) {
  const int line = LineOf(value);
  SaveRequest& request = operation.request;
  if (name == kFillKey) {
    const std::optional<std::string> text = TomlValueText(value);
    if (text != "true" && text != "false") mistake(line, "fill takes true or false");
    request.fill = text == "true";
  } else if (name == kSideKey) {
    const std::optional<bool> side = ChoiceNamed(TomlValueText(value).value_or(""), kSides);
    if (!side) mistake(line, "side takes inside or outside");
    outside = *side;
  } else if (name == kToolKey) {
    const toml::value<int64_t>* tool = value.as_integer();
    if (tool == nullptr || tool->get() < 1 || tool->get() > kHighestTool) {
      mistake(line, "tool is the cutter's number, a whole number from 1 to " +
                        std::to_string(kHighestTool));
    }
    operation.tool = static_cast<int>(tool->get());
  } else if (const FieldDescription* field = FieldNamed(name)) {
    if (!kind.UsesField(field->field)) {
      mistake(line, std::string(name) + " is not used by a " + std::string(kind.name) + ": " +
                        SizeWords(kind, ""));
    }
    const std::optional<std::string> text = TomlValueText(value);
    if (!text || !OrdinaryNumber(*text)) {
      mistake(line, std::string(name) + " needs a number, not " +
                        (text ? "\"" + *text + "\"" : std::string("that")));
    }
    request.texts.*field->text = *text;
  } else {
    return false;
  }
  return true;
}

// Reads the file's values into a job, raising the first mistake.
class JobReader {
 public:
  JobReader(const std::string& path, const JobMachineSources& sources)
      : mistake_(path), sources_(sources) {}

  Job Read(const toml::table& document) {
    Machine machine = TopMachine(document);
    Job job = std::move(job_);
    const toml::node* operations = document.get("operation");
    if (operations == nullptr) {
      mistake_(
          "it holds no operation: give one [[operation]] table for each, with its shape "
          "and fields");
    }
    if (!operations->is_array_of_tables()) {
      mistake_(LineOf(*operations),
               "operation is a table of its own for each operation: [[operation]]");
    }
    int number = 0;
    for (const toml::node& table : *operations->as_array()) {
      job.operations.push_back(ReadOperation(*table.as_table(), machine, ++number, document));
    }
    return job;
  }

 private:
  // The machine of the top level: the machines file's one it names, the keys beside it, and the
  // options given beside the file.
  Machine TopMachine(const toml::table& document) {
    Machine machine;
    bool named = false;
    if (const toml::node* name = document.get(kMachineKey)) {
      if (!name->is_string() || name->as_string()->get().empty()) {
        mistake_(LineOf(*name), "machine needs the name of a machine of the machines file");
      }
      machine = NamedMachine(name->as_string()->get(), LineOf(*name));
      named = true;
      job_.machine = name->as_string()->get();
    }
    for (const auto& [key, value] : document) {
      if (key.str() == kMachineKey || key.str() == "operation") continue;
      const std::optional<Setting> setting = SettingNamed(key.str());
      if (!setting) {
        mistake_(LineOf(value),
                 "\"" + std::string(key.str()) + "\" is no setting of the job's machine" +
                     (IsOperationKey(key.str()) ? "; it belongs in an operation's table" : ""));
      }
      job_.settings.emplace_back(*setting, Set(machine, *setting, value, key.str()));
    }
    for (const auto& [setting, text] : sources_.given) (void)SetSetting(machine, setting, text);
    const bool dialectGiven =
        named || document.get("dialect") != nullptr ||
        std::any_of(sources_.given.begin(), sources_.given.end(),
                    [](const auto& option) { return option.first == Setting::Dialect; });
    if (!dialectGiven) {
      mistake_(
          "it names no controller: give machine = \"NAME\" of the machines file, or "
          "dialect = \"linuxcnc\" or \"grbl\"");
    }
    if (auto missing = MissingSetting(machine)) mistake_("the job's machine needs " + *missing);
    if (const std::optional<SettingProblem> problem = MachineProblem(machine)) {
      const std::string_view key = DescriptionOf(problem->setting).key;
      const toml::node* value = document.get(key);
      const std::string words = std::string(key) + " " + problem->words;
      if (value != nullptr) mistake_(LineOf(*value), words);
      mistake_(words);
    }
    return machine;
  }

  Machine NamedMachine(const std::string& name, int line) const {
    const MachinesFile& file = sources_.machines;
    if (file.fault) mistake_(line, "machine: " + file.fault->message);
    if (const MachinesFileFault* fault = file.FaultOf(name)) {
      mistake_(line, "machine: " + fault->message);
    }
    if (const Machine* machine = FindMachine(file.machines, name)) return *machine;
    std::string known;
    for (const Machine& machine : file.machines) {
      if (!known.empty()) known += ", ";
      known += '"' + machine.name + '"';
    }
    mistake_(line, "machine \"" + name + "\" is not in the machines file \"" +
                       sources_.machinesPath + "\"" +
                       (known.empty() ? " (it holds none)" : " (it holds " + known + ")"));
  }

  static bool IsOperationKey(std::string_view key) {
    return key == kShapeKey || key == kFillKey || key == kSideKey || key == kToolKey ||
           FieldNamed(key) != nullptr;
  }

  // Sets the setting from its value, and returns the value's text.
  std::string Set(Machine& machine, Setting setting, const toml::node& value,
                  std::string_view key) {
    std::optional<std::string> text = TomlValueText(value);
    if (!text) mistake_(LineOf(value), std::string(key) + " needs a number or a word");
    if (auto problem = SetSetting(machine, setting, *text)) {
      mistake_(LineOf(value), std::string(key) + " " + *problem);
    }
    return *text;
  }

  JobOperation ReadOperation(const toml::table& table, const Machine& jobMachine, int number,
                             const toml::table& document) {
    JobOperation operation;
    operation.line = LineOf(table);
    SaveRequest& request = operation.request;
    request.shape = ShapeOf(table, mistake_);
    const Operation& kind = OperationOf(request.shape);
    Machine machine = jobMachine;
    std::vector<Setting> given;
    bool outside = false;
    for (const auto& [key, value] : table) {
      const std::string_view name = key.str();
      const int line = LineOf(value);
      if (name == kShapeKey || ReadOwnKey(name, value, kind, mistake_, operation, outside)) {
        continue;
      }
      if (const std::optional<Setting> setting = SettingNamed(name)) {
        if (*setting == Setting::Dialect || *setting == Setting::Units) {
          mistake_(line, std::string(name) +
                             " is the whole job's: give it at the top of the file, before the "
                             "first [[operation]]");
        }
        operation.settings.emplace_back(*setting, Set(machine, *setting, value, name));
        given.push_back(*setting);
      } else {
        mistake_(line, "\"" + std::string(name) + "\" is no key of an operation (operation " +
                           std::to_string(number) + ")");
      }
    }
    if (const std::optional<SettingProblem> problem = MachineProblem(machine)) {
      const std::string_view key = DescriptionOf(problem->setting).key;
      const toml::node* value = table.get(key);
      if (value == nullptr) value = document.get(key);
      mistake_(value != nullptr ? LineOf(*value) : operation.line,
               std::string(key) + " " + problem->words);
    }
    if (auto problem = GivenSettingsProblem(machine, given, request.shape, request.fill, outside)) {
      const std::string key = problem->key.substr(0, problem->key.find('='));
      const toml::node* value = table.get(key);
      mistake_(value != nullptr ? LineOf(*value) : operation.line,
               problem->key + " " + problem->words);
    }
    request.machine = SettingsOf(machine);
    request.strategy.outside = outside;
    ApplyStrategy(machine, request.shape, request.fill, request.strategy);
    return operation;
  }

  MistakeAt mistake_;
  const JobMachineSources& sources_;
  Job job_;  // its top level, as read
};

}  // namespace

std::variant<Job, std::string> ReadJobText(std::string_view text, const std::string& path,
                                           const JobMachineSources& sources) {
  const MistakeAt mistake(path);
  try {
    std::variant<toml::table, TomlFault> parsed = ParseSettingsToml(text, path);
    if (const auto* fault = std::get_if<TomlFault>(&parsed)) mistake(fault->line, fault->what);
    Job job = JobReader(path, sources).Read(std::get<toml::table>(parsed));
    job.name = std::filesystem::path(path).filename().string();
    return job;
  } catch (const JobFileMistake& found) {
    return std::string(found.what());
  }
}

std::variant<Job, std::string> ReadJobFile(const std::string& path,
                                           const JobMachineSources& sources) {
  std::optional<std::string> text;
  try {
    text = ReadSettingsFile(path);
  } catch (const std::runtime_error& error) {
    return "the job file \"" + path + "\" cannot be read: " + error.what();
  }
  if (!text) return "the job file \"" + path + "\" is not there";
  return ReadJobText(*text, path, sources);
}

}  // namespace quorrel
