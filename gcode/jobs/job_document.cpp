#include "gcode/jobs/job_document.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "gcode/job/field_table.h"
#include "gcode/machines/toml_values.h"
#include "gcode/shapes/operation.h"

namespace quorrel {
namespace {

// A number's text as a job file writes it: bare where TOML reads it back as the very same text
// (a whole number it holds in 64 bits, a decimal in its shortest form), quoted otherwise
// ("1.10", ".5", "1e3", 22 digits), which the reader takes as the same text.
std::string FieldValue(const std::string& text) {
  std::size_t i = text.starts_with('-') ? 1 : 0;
  const std::size_t first = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  const std::size_t whole = i - first;
  bool plain = whole > 0 && (whole == 1 || text[first] != '0') && text != "-0";
  bool decimal = false;
  if (plain && i < text.size() && text[i] == '.') {
    const std::size_t point = ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    plain = i > point;
    decimal = true;
  }
  plain = plain && i == text.size();
  if (plain && !decimal) plain = whole <= 15;
  if (plain && decimal) {
    // What the reader makes of the number it reads: its shortest text.
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    char shortest[32];
    plain = std::string_view(
                shortest, std::to_chars(shortest, shortest + sizeof shortest, value).ptr) == text;
  }
  return plain ? text : TomlQuoted(text);
}

// A setting's line, as the machines file writes it; a number as it was typed.
std::string SettingLine(Setting setting, const std::string& value) {
  const std::string written = ChoicesOf(setting).empty()      ? FieldValue(value)
                              : QuotedInSettingsFile(setting) ? TomlQuoted(value)
                                                              : value;
  return std::string(DescriptionOf(setting).key) + " = " + written + "\n";
}

}  // namespace

JobDocument DocumentOf(const Job& job) {
  JobDocument document;
  document.machine = job.machine.value_or("");
  document.settings = job.settings;
  for (const JobOperation& operation : job.operations) {
    JobRow row;
    row.request.shape = operation.request.shape;
    row.request.fill = operation.request.fill;
    row.request.texts = operation.request.texts;
    row.request.strategy.outside = operation.request.strategy.outside;
    row.tool = operation.tool;
    row.settings = operation.settings;
    document.rows.push_back(std::move(row));
  }
  return document;
}

std::optional<std::string> JobDocumentText(const JobDocument& document,
                                           const std::vector<Machine>& machines, std::string& why) {
  if (document.rows.empty()) {
    why = "The job has no operation.";
    return std::nullopt;
  }
  // The job's own machine, against which another machine's settings are told.
  Machine base;
  if (!document.machine.empty()) {
    const Machine* named = FindMachine(machines, document.machine);
    if (named == nullptr) {
      why = "The machine \"" + document.machine + "\" is not in the machines file.";
      return std::nullopt;
    }
    base = *named;
  }
  for (const auto& [setting, value] : document.settings) (void)SetSetting(base, setting, value);

  std::string text = "# A Quorrel job: its machine, then its operations in cutting order.\n";
  if (!document.machine.empty()) text += "machine = " + TomlQuoted(document.machine) + "\n";
  for (const auto& [setting, value] : document.settings) text += SettingLine(setting, value);
  for (const JobRow& row : document.rows) {
    std::vector<std::pair<Setting, std::string>> own = row.settings;
    if (!row.machine.empty() && row.machine != document.machine) {
      const Machine* machine = FindMachine(machines, row.machine);
      if (machine == nullptr) {
        why = "The machine \"" + row.machine + "\" is not in the machines file.";
        return std::nullopt;
      }
      if (machine->dialect != base.dialect || machine->units != base.units) {
        why = "The operations are for machines of different controllers or units (\"" +
              document.machine + "\" and \"" + machine->name +
              "\"): one job is cut on one "
              "machine.";
        return std::nullopt;
      }
      // Where the operation's machine differs from the job's, its table says how, in the
      // settings the operation takes.
      for (const SettingDescription& setting : kSettings) {
        const std::string value = SettingText(*machine, setting.setting);
        const bool given = std::any_of(own.begin(), own.end(), [&](const auto& mine) {
          return mine.first == setting.setting;
        });
        if (given || value == SettingText(base, setting.setting)) continue;
        const Setting one[] = {setting.setting};
        if (GivenSettingsProblem(*machine, one, row.request.shape, row.request.fill,
                                 row.request.strategy.outside)) {
          continue;  // not this operation's: the machine's for its other jobs
        }
        if (value.empty()) {
          why = "The machine \"" + machine->name + "\" leaves out the " + std::string(setting.key) +
                " that the job's machine gives; an operation's table "
                "cannot leave out what its job gives.";
          return std::nullopt;
        }
        own.emplace_back(setting.setting, value);
      }
    }
    const SaveRequest& request = row.request;
    const Operation& operation = OperationOf(request.shape);
    text += "\n[[operation]]\nshape = \"" + std::string(operation.name) + "\"\n";
    for (const FieldDescription& field : kJobFields) {
      if (!operation.UsesField(field.field)) continue;
      text += std::string(field.option.substr(2)) + " = " + FieldValue(request.texts.*field.text) +
              "\n";
    }
    if (operation.outlines() && request.fill) text += "fill = true\n";
    if (operation.outlines() && request.strategy.outside) text += "side = \"outside\"\n";
    text += "tool = " + std::to_string(row.tool) + "\n";
    for (const auto& [setting, value] : own) text += SettingLine(setting, value);
  }
  return text;
}

std::variant<Job, std::string> JobOfDocument(const JobDocument& document, const std::string& name,
                                             const JobMachineSources& sources) {
  std::string why;
  const std::optional<std::string> text = JobDocumentText(document, sources.machines.machines, why);
  if (!text) return why;
  return ReadJobText(*text, name, sources);
}

}  // namespace quorrel
