#include "cli/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

#include "gcode/job/dialect_profile.h"
#include "gcode/job/field_table.h"
#include "gcode/job/named_choices.h"
#include "gcode/machines/machine.h"
#include "gcode/machines/machines_file.h"
#include "gcode/numbers/ordinary_number.h"
#include "gcode/shapes/operation.h"

namespace quorrel::cli {
namespace {

// A number of the command line: the whole argument, finite, "." as the point. Unlike a field
// text, "abc", "" or "1e400" is not a number here but a mistake.
double OptionNumber(std::string_view option, std::string_view text) {
  const std::optional<double> value = OrdinaryNumber(text);
  if (!value) {
    throw UsageError(std::string(option) + " needs a number, not \"" + std::string(text) + "\"");
  }
  return *value;
}

template <class Choice, std::size_t N>
Choice OptionChoice(std::string_view option, std::string_view name,
                    const NamedChoices<Choice, N>& choices) {
  if (const std::optional<Choice> choice = ChoiceNamed(name, choices)) return *choice;
  throw UsageError(std::string(option) + " takes " + ChoiceNames(choices) + ", not \"" +
                   std::string(name) + "\"");
}

constexpr NamedChoices<bool, 2> kSides{{
    {"inside", false},
    {"outside", true},
}};

// "a, b or c": the names of the operations that `takes` holds for.
template <class Takes>
std::string OperationNames(Takes takes, std::string_view lastJoin) {
  std::vector<std::string_view> names;
  for (const Operation& operation : Operations()) {
    if (takes(operation)) names.push_back(operation.name);
  }
  return ListedWords(names, lastJoin);
}

ShapeKind ShapeNamed(std::string_view name) {
  if (const Operation* operation = OperationNamed(name)) return operation->kind;
  throw UsageError("unknown shape \"" + std::string(name) + "\" (use " +
                   OperationNames([](const Operation&) { return true; }, " or ") + ")");
}

// Options that take a value accept "--name=VALUE" and "--name VALUE".
class ArgumentReader {
 public:
  explicit ArgumentReader(std::span<const std::string_view> arguments) : arguments_(arguments) {}

  bool AtEnd() const { return next_ >= arguments_.size(); }
  std::string_view Take() { return arguments_[next_++]; }

  // When `argument` is the option `name`, its value (from after "=" or the next argument).
  std::optional<std::string_view> ValueOf(std::string_view argument, std::string_view name) {
    if (!argument.starts_with(name)) return std::nullopt;
    const std::string_view rest = argument.substr(name.size());
    if (rest.starts_with('=')) return rest.substr(1);
    if (!rest.empty()) return std::nullopt;
    if (AtEnd()) throw UsageError("option " + std::string(name) + " needs a value");
    return Take();
  }

 private:
  std::span<const std::string_view> arguments_;
  std::size_t next_ = 0;
};

// The settings that shape a job's paths, which a saved program to convert already has.
bool ShapesPaths(Setting setting) {
  return setting == Setting::Stepover || setting == Setting::Finish || setting == Setting::Tabs ||
         setting == Setting::TabWidth || setting == Setting::TabHeight ||
         setting == Setting::TabAngle || setting == Setting::Peck ||
         setting == Setting::ChipBreak || setting == Setting::Dwell || setting == Setting::RetractZ;
}

// The machine of the machines file named `name`; a file that cannot be read, or names none such,
// is a mistake of the command.
Machine NamedMachine(const std::string& name) {
  const std::string path = MachinesFilePath();
  if (path.empty()) {
    throw UsageError(
        "--machine needs the machines file, and neither XDG_CONFIG_HOME nor HOME "
        "says where it is");
  }
  const MachinesFile file = ReadMachinesFile(path);
  if (file.fault) throw UsageError("--machine: " + file.fault->message);
  if (const MachinesFileFault* fault = file.FaultOf(name)) {
    throw UsageError("--machine: " + fault->message);
  }
  if (const Machine* machine = FindMachine(file.machines, name)) return *machine;
  std::string known;
  for (const Machine& machine : file.machines) {
    if (!known.empty()) known += ", ";
    known += '"' + machine.name + '"';
  }
  throw UsageError("--machine: the machines file \"" + path + "\" has no machine named \"" + name +
                   "\"" + (known.empty() ? " (it holds none)" : " (it holds " + known + ")"));
}

// The options that drive a controller, as given, each checked as the machines file checks it;
// laid over the named machine, if any, and checked against the dialect once all are read.
struct MachineOptions {
  std::optional<std::string> machineName;
  std::vector<std::pair<Setting, std::string_view>> given;  // in the order given
  std::optional<bool> outside;
  std::string firstGiven;       // for the message when the dialect takes none
  std::string firstPathsGiven;  // for the message when a saved program's paths are converted

  bool Read(std::string_view argument, ArgumentReader& reader);
  bool Given(Setting setting) const;
  // The machine the program is for: the named one with the options given laid over it.
  Machine Chosen(Dialect dialect) const;
  MachineSettings Settings(const Machine& machine, bool dialectGiven) const;
  CuttingStrategy Strategy(const Machine& machine, ShapeKind shape, bool fill) const;
};

bool MachineOptions::Read(std::string_view argument, ArgumentReader& reader) {
  std::optional<std::string_view> text;
  if ((text = reader.ValueOf(argument, "--machine"))) {
    if (text->empty()) throw UsageError("--machine needs the name of a machine");
    machineName = std::string(*text);
    return true;
  }
  if (argument == "--chip-break") {  // a switch, as the other side of "--chip-break=false"
    given.emplace_back(Setting::ChipBreak, "true");
    if (firstPathsGiven.empty()) firstPathsGiven = "--chip-break";
  } else if ((text = reader.ValueOf(argument, "--side"))) {
    outside = OptionChoice("--side", *text, kSides);
    if (firstPathsGiven.empty()) firstPathsGiven = "--side";
  } else {
    const SettingDescription* found = nullptr;
    for (const SettingDescription& setting : kSettings) {
      if (setting.setting == Setting::Dialect) continue;  // the command line's takes din too
      const std::string option = "--" + std::string(setting.key);
      if ((text = reader.ValueOf(argument, option))) {
        found = &setting;
        break;
      }
    }
    if (found == nullptr) return false;
    Machine scratch;
    if (auto problem = SetSetting(scratch, found->setting, *text)) {
      throw UsageError("--" + std::string(found->key) + " " + *problem);
    }
    given.emplace_back(found->setting, *text);
    if (firstPathsGiven.empty() && ShapesPaths(found->setting)) {
      firstPathsGiven = "--" + std::string(found->key);
    }
  }
  if (firstGiven.empty()) firstGiven = argument.substr(0, argument.find('='));
  return true;
}

bool MachineOptions::Given(Setting setting) const {
  return std::any_of(given.begin(), given.end(),
                     [setting](const auto& option) { return option.first == setting; });
}

Machine MachineOptions::Chosen(Dialect dialect) const {
  Machine machine;
  if (machineName) machine = NamedMachine(*machineName);
  if (dialect != Dialect::Din) machine.dialect = dialect;
  for (const auto& [setting, text] : given) (void)SetSetting(machine, setting, text);  // checked
  return machine;
}

MachineSettings MachineOptions::Settings(const Machine& machine, bool dialectGiven) const {
  if (!dialectGiven && !machineName) {
    if (!firstGiven.empty()) {
      throw UsageError(firstGiven +
                       " is for the linuxcnc and grbl dialects; the din program is the window's "
                       "own (give --dialect=linuxcnc or --dialect=grbl)");
    }
    return MachineSettings();
  }
  const std::string name(ProfileOf(machine.dialect).name);
  if (!machine.units) throw UsageError(name + " programs need --units=mm or --units=inch");
  if (!machine.feed) throw UsageError(name + " programs need --feed=RATE, the feed of every cut");
  if (const std::optional<SettingProblem> problem = MachineProblem(machine)) {
    const std::string_view key = DescriptionOf(problem->setting).key;
    throw UsageError(
        (Given(problem->setting) || !machineName
             ? "--" + std::string(key)
             : "the " + std::string(key) + " of the machine \"" + *machineName + "\"") +
        " " + problem->words);
  }
  return SettingsOf(machine);
}

CuttingStrategy MachineOptions::Strategy(const Machine& machine, ShapeKind shape, bool fill) const {
  std::vector<Setting> settings;
  for (const auto& option : given) settings.push_back(option.first);
  if (auto problem =
          GivenSettingsProblem(machine, settings, shape, fill, outside.value_or(false))) {
    throw UsageError("--" + problem->key + " " + problem->words);
  }
  CuttingStrategy strategy;
  strategy.outside = outside.value_or(false);
  ApplyStrategy(machine, shape, fill, strategy);
  return strategy;
}

// A controller's program cuts what the fields say, so a given field is an ordinary number like
// every other option, and one the shape is not made from is a mistake, not a text to ignore.
void RequireControllerFields(const SaveRequest& request,
                             const std::vector<const FieldDescription*>& given) {
  const Operation& operation = OperationOf(request.shape);
  for (const FieldDescription* field : given) {
    if (!operation.UsesField(field->field)) {
      throw UsageError(std::string(field->option) + " is not used by a " +
                       std::string(operation.name) + ": " + SizeWords(operation, "--"));
    }
    OptionNumber(field->option, request.texts.*field->text);
  }
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string_view> arguments) {
  CommandLine command;
  ArgumentReader reader(arguments);
  MachineOptions machine;
  std::optional<Dialect> dialect;
  bool jobGiven = false;  // a shape, Fill or a field, which --from does not take
  std::vector<const FieldDescription*> fieldsGiven;
  while (!reader.AtEnd()) {
    const std::string_view argument = reader.Take();
    if (argument == "--help") {
      command.help = true;
    } else if (argument == "--version") {
      command.version = true;
    } else if (argument == "--estimate") {
      command.estimate = true;
    } else if (argument == "--fill") {
      command.request.fill = true;
      jobGiven = true;
    } else if (auto shape = reader.ValueOf(argument, "--shape")) {
      command.request.shape = ShapeNamed(*shape);
      jobGiven = true;
    } else if (auto name = reader.ValueOf(argument, "--dialect")) {
      dialect = OptionChoice("--dialect", *name, kDialectKeys);
    } else if (auto file = reader.ValueOf(argument, "--job")) {
      if (file->empty()) throw UsageError("--job needs the name of a job file");
      command.job = std::string(*file);
    } else if (auto source = reader.ValueOf(argument, "--from")) {
      if (source->empty()) throw UsageError("--from needs the name of a program");
      command.from = std::string(*source);
    } else if (machine.Read(argument, reader)) {
    } else if (auto output = argument == "-o" ? reader.ValueOf(argument, "-o")
                                              : reader.ValueOf(argument, "--output")) {
      if (output->empty()) throw UsageError("the output file needs a name");
      command.outputPath = std::string(*output);
    } else if (auto preview = reader.ValueOf(argument, "--preview")) {
      if (preview->empty()) throw UsageError("the preview file needs a name");
      command.previewPath = std::string(*preview);
    } else if (auto program = reader.ValueOf(argument, "--preview-of")) {
      if (program->empty()) throw UsageError("--preview-of needs the name of a program");
      command.previewOf = std::string(*program);
    } else {
      bool known = false;
      for (const FieldDescription& field : kJobFields) {
        if (auto text = reader.ValueOf(argument, field.option)) {
          command.request.texts.*field.text = std::string(*text);
          fieldsGiven.push_back(&field);
          command.toolRadiusGiven |= field.field == Field::ToolRadius;
          jobGiven |= field.field != Field::ToolRadius;
          known = true;
          break;
        }
      }
      if (!known) throw UsageError("unknown option \"" + std::string(argument) + "\"");
    }
  }
  if (command.job) {
    // The job file holds the operations and their machine; options beside it change the machine.
    std::string notTaken = jobGiven || command.toolRadiusGiven ? "shape, Fill or field"
                           : machine.outside                   ? "--side"
                           : machine.machineName               ? "--machine"
                           : command.from                      ? "--from"
                           : command.previewOf                 ? "--preview-of"
                                                               : "";
    if (!notTaken.empty()) {
      throw UsageError(
          "--job takes its operations, with their shapes, fields and sides, and its "
          "machine from the job file: drop the " +
          notTaken);
    }
    if (dialect == Dialect::Din) {
      throw UsageError(
          "--job writes a program for a controller: the din program is the "
          "window's own, of one shape");
    }
    if (dialect)
      command.besideJob.emplace_back(Setting::Dialect, std::string(ProfileOf(*dialect).key));
    for (const auto& [setting, text] : machine.given) command.besideJob.emplace_back(setting, text);
    if (command.previewPath == "-" && !command.outputPath) {
      throw UsageError("--preview=- needs the program in a file: give --output");
    }
    if (command.estimate && command.outputPath) {
      throw UsageError("--estimate times the job and writes no program: drop --output");
    }
    if (command.previewPath && command.previewPath == command.outputPath) {
      throw UsageError("the program and its preview need two different files");
    }
    return command;
  }
  if (dialect == Dialect::Din && machine.machineName) {
    throw UsageError("--machine drives a controller; the din program is the window's own");
  }
  const Machine chosen = machine.Chosen(dialect.value_or(Dialect::Din));
  command.machine = machine.Settings(chosen, dialect.has_value() && dialect != Dialect::Din);
  command.machineName = machine.machineName;
  for (const auto& [setting, text] : machine.given) {
    command.given.insert("--" + std::string(DescriptionOf(setting).key));
  }
  if (command.from && !machine.firstPathsGiven.empty()) {
    throw UsageError(machine.firstPathsGiven +
                     " shapes new paths; --from converts a saved program's paths as they are");
  }
  const Operation& operation = OperationOf(command.request.shape);
  if (command.machine.dialect == Dialect::Din) {
    if (!operation.windowProgram()) {
      throw UsageError("--shape=" + std::string(operation.name) +
                       " is for the linuxcnc and grbl dialects; the din program is the window's "
                       "own (give --dialect=linuxcnc or --dialect=grbl)");
    }
    for (const FieldDescription* field : fieldsGiven) {
      if (field->field >= Field::Holes) {
        throw UsageError(std::string(field->option) +
                         " is for the drilling patterns of the linuxcnc and grbl dialects; the "
                         "din program is the window's own");
      }
    }
  } else {
    command.request.strategy =
        machine.Strategy(chosen, command.request.shape, command.request.fill);
    RequireControllerFields(command.request, fieldsGiven);
  }
  if (command.from && (jobGiven || command.toolRadiusGiven || command.previewPath)) {
    throw UsageError(
        "--from converts an existing program; it takes no shape, Fill, field or "
        "--preview (draw a program with --preview-of)");
  }
  if (command.from && command.machine.dialect == Dialect::Din) {
    throw UsageError(
        "--from converts a program saved by the window into one for a controller: give "
        "--dialect=linuxcnc or --dialect=grbl, or --machine");
  }
  if (command.from && command.previewOf) {
    throw UsageError("--from and --preview-of each read one program; give one of them");
  }
  if (command.previewOf && !command.previewPath) {
    throw UsageError("--preview-of needs --preview=FILE for the drawing");
  }
  if (command.estimate) {
    if (command.machine.dialect == Dialect::Din) {
      throw UsageError(
          "--estimate is for the linuxcnc and grbl dialects: the din program has no feeds to "
          "time (give --dialect or --machine)");
    }
    if (command.from || command.previewOf || command.outputPath) {
      throw UsageError("--estimate times the job and writes no program: drop " +
                       std::string(command.from        ? "--from"
                                   : command.previewOf ? "--preview-of"
                                                       : "--output"));
    }
  }
  if (command.previewOf && command.outputPath) {
    throw UsageError("--preview-of draws an existing program and writes none; drop --output");
  }
  if (command.previewPath == "-" && !command.outputPath && !command.previewOf) {
    throw UsageError("--preview=- needs the program in a file: give --output");
  }
  if (command.previewPath && command.previewPath == command.outputPath) {
    throw UsageError("the program and its preview need two different files");
  }
  return command;
}

std::string_view UsageSynopsis() {
  return "usage: quorrel-gcode [--shape=rectangle|circle|rounded-rectangle|hole|bolt-circle|\n"
         "                      hole-grid|face] [--fill]\n"
         "                     [--center-x=TEXT] [--center-y=TEXT] [--width=TEXT] "
         "[--height=TEXT]\n"
         "                     [--radius=TEXT] [--tool-radius=TEXT] [--depth=TEXT]\n"
         "                     [--holes=TEXT] [--start-angle=TEXT] [--columns=TEXT] "
         "[--rows=TEXT]\n"
         "                     [--machine=NAME] [--dialect=linuxcnc|grbl --units=mm|inch\n"
         "                      --feed=RATE\n"
         "                      [--plunge-feed=RATE] [--safe-z=Z] [--step-down=DEPTH]\n"
         "                      [--spindle=RPM [--spindle-delay=SECONDS]]\n"
         "                      [--direction=climb|conventional]\n"
         "                      [--entry=plunge|ramp [--ramp-angle=DEGREES]]\n"
         "                      [--side=inside|outside] [--stepover=PERCENT]\n"
         "                      [--finish=ALLOWANCE]\n"
         "                      [--tabs=COUNT [--tab-width=WIDTH] [--tab-height=HEIGHT]\n"
         "                       [--tab-angle=DEGREES]]\n"
         "                      [--max-rate-x=RATE] [--max-rate-y=RATE] [--max-rate-z=RATE]\n"
         "                      [--acceleration-x=ACCEL] [--acceleration-y=ACCEL]\n"
         "                      [--acceleration-z=ACCEL] [--junction-deviation=LENGTH]\n"
         "                      [--arc-tolerance=LENGTH]\n"
         "                      [--peck=Q [--chip-break]] [--dwell=SECONDS] [--retract-z=R]\n"
         "                      [--from=PROGRAM]]\n"
         "                     [--job=FILE [SETTING OPTIONS]]\n"
         "                     [--output=FILE | -o FILE] [--preview=FILE.svg]\n"
         "                     [--preview-of=PROGRAM --preview=FILE.svg] [--estimate]\n"
         "                     [--help] [--version]\n";
}

// An option's lines of --help: the option, then its description from the 23rd column, or two
// blanks after an option too long for that; the description's further lines under its first.
std::string HelpLines(std::string option, std::string_view description) {
  option.insert(0, "  ");
  option.resize(std::max(option.size() + 2, std::size_t{22}), ' ');
  std::string lines;
  for (std::size_t start = 0; start <= description.size();) {
    const std::size_t end = std::min(description.find('\n', start), description.size());
    lines += (lines.empty() ? option : std::string(22, ' ')) +
             std::string(description.substr(start, end - start)) + "\n";
    start = end + 1;
  }
  return lines;
}

std::string HelpText() {
  std::string fields;
  for (const FieldDescription& field : kJobFields) {
    fields += HelpLines(std::string(field.option) + "=TEXT",
                        std::string(field.caption) + std::string(field.helpNote) + " (default " +
                            std::string(field.defaultText) + ")");
  }
  // Every setting from its row of the settings' table; the side of an outline, the job's own,
  // before the direction it turns.
  std::string settings;
  for (const SettingDescription& setting : kSettings) {
    if (setting.setting == Setting::Direction) {
      settings += HelpLines("--side=SIDE",
                            "inside (default): the tool inside the contour; outside: the\n"
                            "outline cut from outside, the cutter's edge on the contour");
    }
    std::string option = "--" + std::string(setting.key);
    if (!setting.value.empty()) option += "=" + std::string(setting.value);
    settings += HelpLines(option, setting.help);
  }
  return "quorrel-gcode writes the G-code program of a rectangle, a circle or a rounded\n"
         "rectangle, outline or filled pocket, exactly as the Quorrel window saves it; and\n"
         "for LinuxCNC and GRBL, holes (one, a bolt-hole circle or a grid) and facings.\n"
         "\n"
         "usage: quorrel-gcode [OPTION]...\n"
         "\n"
         "Options:\n"
         "  --shape=SHAPE       rectangle (default), circle or rounded-rectangle; with\n"
         "                      linuxcnc and grbl also hole, bolt-circle, hole-grid or face\n"
         "  --fill              clear the inside in rings instead of cutting the outline\n" +
         fields +
         "  -o, --output=FILE   write the program to FILE, replacing it only once complete;\n"
         "                      - or no --output for standard output\n"
         "  --preview=FILE      also draw the program as an SVG picture in FILE;\n"
         "                      - for standard output when the program goes to a file\n"
         "  --preview-of=PROGRAM  draw an existing program written by Quorrel instead;\n"
         "                      --tool-radius, if given, shades the area the cutter sweeps\n"
         "\n"
         "Controller programs:\n"
         "  --machine=NAME      the settings of the machine NAME in the machines file (see\n"
         "                      below); an option given here wins over the machine's\n" +
         settings +
         "  --from=PROGRAM      convert a program saved by the window instead of writing one\n"
         "  --job=FILE          write one program of the job file FILE's operations, with a\n"
         "                      tool change where the tool changes; options beside it change\n"
         "                      its machine\n"
         "  --estimate          write no program: print how long it runs on its controller,\n"
         "                      as the controller's own planner moves it\n"
         "  --help              show this help and exit\n"
         "  --version           show the version and exit\n"
         "\n"
         "Each TEXT is read as the window reads a field: the number at its start, blanks\n"
         "ignored, \".\" as the decimal point; a text without a number counts as 0. Option\n"
         "values may also follow as the next argument (--depth -2). Lines of the din\n"
         "dialect end with CR LF. With linuxcnc and grbl, each TEXT given is an ordinary\n"
         "number, and a field the shape is not made from is a mistake; a Depth at or above\n"
         "0, or a tool whose cutter would leave the contour, is refused.\n"
         "\n"
         "Holes: --shape=hole drills one at the centre; bolt-circle --holes evenly round a\n"
         "circle of --radius, the first at --start-angle, in order round it; hole-grid\n"
         "--columns x --rows spanning --width x --height, row by row, back and forth, a\n"
         "single column or row on the centre line. Each goes to Depth; --tool-radius is\n"
         "half the drill's diameter, and holes closer than it are refused. LinuxCNC drills\n"
         "with G81, G82, G83 or G73 and G98, one line a hole, then G80; GRBL, which has no\n"
         "cycles, is given the same moves. A facing (--shape=face) lowers the stock\n"
         "--width x --height to Depth in --step-down passes, back and forth at the\n"
         "stepover and past every edge by more than the Tool Radius; --direction makes\n"
         "every stroke one way, with a rapid back at the clearance height.\n"
         "\n"
         "Machines are kept in $XDG_CONFIG_HOME/quorrel/machines.toml (by default\n"
         "~/.config/quorrel/machines.toml), which the Quorrel window reads and writes too: a\n"
         "[[machine]] table for each, its name and settings under the options' names without\n"
         "\"--\" (name = \"Router\", dialect = \"grbl\", units = \"mm\", feed = 1000). A\n"
         "machine's stepover is used by --fill jobs only, its tabs by outlines only.\n"
         "\n"
         "A job file is TOML whose keys are these options' names without \"--\": at its top\n"
         "the machine (machine = \"NAME\" and any setting), then an [[operation]] table for\n"
         "each operation in cutting order, with its shape, fields, fill, side, tool (a whole\n"
         "number, default 1) and any setting that differs for it. Each operation is cut as\n"
         "it is alone; between them the tool is at the clearance height, and where the tool\n"
         "changes LinuxCNC changes it (T M6, G43 H) and GRBL pauses (M0) for it.\n"
         "\n"
         "Holding tabs keep a part cut out of a sheet in it until the last cut is done. A tab\n"
         "is a trapezoid: its top WIDTH long at HEIGHT above Depth, its sides sloping down at\n"
         "--tab-angle to its base at Depth. Where the cutter would cut into a tab, the tool\n"
         "runs up its slope, along its top and down again, at the plunge feed; beside the\n"
         "bases the last pass cuts at Depth. The first tab stands in the middle of the bottom\n"
         "side (a circle's half a spacing round from its left-most point), the others evenly\n"
         "along the contour, each kept on a straight side where the sides can take them\n"
         "apart. Tabs whose bases, with the cutter's reach, raise half the outline path or\n"
         "more, or meet, are refused.\n"
         "\n"
         "Feeds are at most 100000 mm or 4000 in per minute, heights and sizes 1000 mm or\n"
         "40 in.\n"
         "\n"
         "RATE, Z, DEPTH and RPM are ordinary numbers with \".\" as the point. A controller\n"
         "program starts with the job's comment and a set-up line (G21 G90 G17 G94 G91.1),\n"
         "travels only at the clearance height, comes down quickly only to the top of what is\n"
         "left, feeds every move into the material at the plunge feed, and gives every arc its\n"
         "centre relative to its start (to four decimals where the centre lies between two\n"
         "thousandths). Lines end with LF. A job that needs more than 10000 passes, or a line\n"
         "longer than the controller reads (GRBL 79 characters, LinuxCNC 252), is refused.\n"
         "\n"
         "The decimal separator of the user's locale (LC_ALL, LC_NUMERIC, LANG) appears only in\n"
         "the rounded rectangle's title comment; coordinates always use \".\".\n"
         "\n"
         "Exit status:\n"
         "  0  the program was written\n"
         "  1  an arithmetic fault or a refused job; nothing is written;\n"
         "     or a program to draw that cannot be read, is empty or has no M30\n"
         "  2  a usage error; nothing was written\n"
         "  3  the output cannot be written; a file there keeps what it held\n";
}

}  // namespace quorrel::cli
