#include "gcode/machines/machine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "gcode/job/dialect_profile.h"
#include "gcode/job/named_choices.h"
#include "gcode/numbers/number_text.h"
#include "gcode/numbers/ordinary_number.h"
#include "gcode/numbers/round3.h"
#include "gcode/shapes/operation.h"
#include "gcode/strategy/tab_plan.h"

namespace quorrel {
namespace {

constexpr NamedChoices<Units, 2> kUnits{{{"mm", Units::Millimetres}, {"inch", Units::Inches}}};
constexpr NamedChoices<Direction, 2> kDirections{
    {{"climb", Direction::Climb}, {"conventional", Direction::Conventional}}};
constexpr NamedChoices<Entry, 2> kEntries{{{"plunge", Entry::Plunge}, {"ramp", Entry::Ramp}}};
constexpr NamedChoices<bool, 2> kYesNo{{{"false", false}, {"true", true}}};

template <class Choice, std::size_t N>
std::optional<std::string> SetChoice(Choice& choice, std::string_view text,
                                     const NamedChoices<Choice, N>& choices) {
  if (const std::optional<Choice> named = ChoiceNamed(text, choices)) {
    choice = *named;
    return std::nullopt;
  }
  return "takes " + ChoiceNames(choices) + ", not \"" + std::string(text) + "\"";
}

template <class Choice, std::size_t N>
std::optional<std::string> SetOptionalChoice(std::optional<Choice>& choice, std::string_view text,
                                             const NamedChoices<Choice, N>& choices) {
  Choice value{};
  if (auto problem = SetChoice(value, text, choices)) return problem;
  choice = value;
  return std::nullopt;
}

// Far beyond what a hobby or an industrial spindle turns, or waits to reach speed.
constexpr double kFastestSpindle = 100'000;
constexpr double kLongestSpindleDelay = 600;

// What a number must be for a setting: the words that say what is wrong, or nothing.
std::optional<std::string> NumberRule(Setting setting, double value) {
  switch (setting) {
    case Setting::Feed:
    case Setting::PlungeFeed:
      // Still above 0 when written with the program's 3 decimals.
      if (Round3(value) > 0.0) return std::nullopt;
      return "must be above 0 (at least .001)";
    case Setting::Spindle:
      if (!(Round3(value) > 0.0)) return "must be above 0 (at least .001)";
      if (value <= kFastestSpindle) return std::nullopt;
      return "must be at most " + FormatCoord(kFastestSpindle) + " revolutions per minute";
    case Setting::SpindleDelay:
      if (Round3(value) > 0.0 && value <= kLongestSpindleDelay) return std::nullopt;
      return "is the seconds the spindle takes to reach speed, from .001 to " +
             FormatCoord(kLongestSpindleDelay);
    case Setting::SafeZ:
      if (value >= 0.0) return std::nullopt;
      return "must be at or above the work surface (0)";
    case Setting::StepDown:
      if (value >= 0.001) return std::nullopt;
      return "must be at least .001";
    case Setting::RampAngle:
      if (value >= 0.5 && value <= 90.0) return std::nullopt;
      return "is the steepest descent of a ramp, from 0.5 to 90 degrees";
    case Setting::Stepover:
      if (value >= 1.0 && value <= 100.0) return std::nullopt;
      return "is a percentage of the tool's diameter from 1 to 100";
    case Setting::Finish:
      if (value >= 0.0) return std::nullopt;
      return "is the allowance left on the walls, at least 0";
    case Setting::Tabs:
      if (value >= 0.0 && value <= kMostTabs && value == std::floor(value)) return std::nullopt;
      return "is a count of holding tabs from 0 to " + std::to_string(kMostTabs);
    case Setting::TabWidth:
    case Setting::TabHeight:
      // Still a size when written with the program's 3 decimals.
      if (Round3(value) > 0.0) return std::nullopt;
      return "must be above 0 (at least .001)";
    case Setting::TabAngle:
      if (value >= kFlattestTabAngle && value <= 90.0) return std::nullopt;
      return "is the slope of a tab's sides, from " + FormatCoord(kFlattestTabAngle) +
             " to 90 degrees";
    case Setting::MaxRateX:
    case Setting::MaxRateY:
    case Setting::MaxRateZ:
    case Setting::AccelerationX:
    case Setting::AccelerationY:
    case Setting::AccelerationZ:
    case Setting::ArcTolerance:
      if (value > 0.0) return std::nullopt;
      return "must be above 0";
    case Setting::JunctionDeviation:
      if (value >= 0.0) return std::nullopt;
      return "must be 0 or more";
    case Setting::Peck:
    case Setting::RetractZ:
      // Still a length when written with the program's 3 decimals.
      if (Round3(value) > 0.0) return std::nullopt;
      return "must be above 0 (at least .001)";
    case Setting::Dwell:
      if (value >= 0.0 && value <= kLongestSpindleDelay) return std::nullopt;
      return "is the seconds to wait at the bottom of each hole, from 0 to " +
             FormatCoord(kLongestSpindleDelay);
    default:
      return std::nullopt;
  }
}

// The number a setting is held in, of a machine or of a machine that is not to change.
template <class AnyMachine>
auto NumberOf(AnyMachine& machine, Setting setting) -> decltype(&machine.feed) {
  switch (setting) {
    case Setting::Feed:
      return &machine.feed;
    case Setting::PlungeFeed:
      return &machine.plungeFeed;
    case Setting::SafeZ:
      return &machine.safeZ;
    case Setting::StepDown:
      return &machine.stepDown;
    case Setting::Spindle:
      return &machine.spindle;
    case Setting::SpindleDelay:
      return &machine.spindleDelay;
    case Setting::RampAngle:
      return &machine.rampAngle;
    case Setting::Stepover:
      return &machine.stepover;
    case Setting::Finish:
      return &machine.finish;
    case Setting::Tabs:
      return &machine.tabs;
    case Setting::TabWidth:
      return &machine.tabWidth;
    case Setting::TabHeight:
      return &machine.tabHeight;
    case Setting::TabAngle:
      return &machine.tabAngle;
    case Setting::MaxRateX:
    case Setting::MaxRateY:
    case Setting::MaxRateZ:
      return &machine.maxRate[static_cast<std::size_t>(setting) -
                              static_cast<std::size_t>(Setting::MaxRateX)];
    case Setting::AccelerationX:
    case Setting::AccelerationY:
    case Setting::AccelerationZ:
      return &machine.acceleration[static_cast<std::size_t>(setting) -
                                   static_cast<std::size_t>(Setting::AccelerationX)];
    case Setting::JunctionDeviation:
      return &machine.junctionDeviation;
    case Setting::ArcTolerance:
      return &machine.arcTolerance;
    case Setting::Peck:
      return &machine.peck;
    case Setting::Dwell:
      return &machine.dwell;
    case Setting::RetractZ:
      return &machine.retractZ;
    default:
      return nullptr;
  }
}

// The shortest text that reads back as the number.
std::string NumberText(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace

std::optional<Setting> SettingNamed(std::string_view key) {
  for (const SettingDescription& description : kSettings) {
    if (description.key == key) return description.setting;
  }
  return std::nullopt;
}

const SettingDescription& DescriptionOf(Setting setting) {
  return kSettings[static_cast<std::size_t>(setting)];
}

std::optional<std::string> SetSetting(Machine& machine, Setting setting, std::string_view text) {
  switch (setting) {
    case Setting::Dialect:
      return SetChoice(machine.dialect, text, kControllerKeys);
    case Setting::Units:
      return SetOptionalChoice(machine.units, text, kUnits);
    case Setting::Direction:
      return SetOptionalChoice(machine.direction, text, kDirections);
    case Setting::Entry:
      return SetOptionalChoice(machine.entry, text, kEntries);
    case Setting::ChipBreak:
      return SetOptionalChoice(machine.chipBreak, text, kYesNo);
    default:
      break;
  }
  std::optional<double>& number = *NumberOf(machine, setting);
  const std::optional<double> value = OrdinaryNumber(text);
  if (!value) return "needs a number, not \"" + std::string(text) + "\"";
  if (auto rule = NumberRule(setting, *value)) return *rule + ", not " + std::string(text);
  number = value;
  return std::nullopt;
}

void ClearSetting(Machine& machine, Setting setting) {
  switch (setting) {
    case Setting::Dialect:
      return;  // every machine has its controller
    case Setting::Units:
      machine.units.reset();
      return;
    case Setting::Direction:
      machine.direction.reset();
      return;
    case Setting::Entry:
      machine.entry.reset();
      return;
    case Setting::ChipBreak:
      machine.chipBreak.reset();
      return;
    default:
      NumberOf(machine, setting)->reset();
  }
}

std::span<const std::string_view> ChoicesOf(Setting setting) {
  // The names of each choice, in the order of its table.
  static constexpr auto names = [](const auto& choices) {
    return std::array<std::string_view, 2>{choices[0].first, choices[1].first};
  };
  static constexpr std::array<std::string_view, 2> kDialectNames = names(kControllerKeys);
  static constexpr std::array<std::string_view, 2> kUnitNames = names(kUnits);
  static constexpr std::array<std::string_view, 2> kDirectionNames = names(kDirections);
  static constexpr std::array<std::string_view, 2> kEntryNames = names(kEntries);
  static constexpr std::array<std::string_view, 2> kYesNoNames = names(kYesNo);
  switch (setting) {
    case Setting::Dialect:
      return kDialectNames;
    case Setting::Units:
      return kUnitNames;
    case Setting::Direction:
      return kDirectionNames;
    case Setting::Entry:
      return kEntryNames;
    case Setting::ChipBreak:
      return kYesNoNames;
    default:
      return {};
  }
}

bool QuotedInSettingsFile(Setting setting) {
  return setting != Setting::ChipBreak && !ChoicesOf(setting).empty();
}

std::string SettingText(const Machine& machine, Setting setting) {
  switch (setting) {
    case Setting::Dialect:
      return std::string(NameOfChoice(machine.dialect, kControllerKeys));
    case Setting::Units:
      return machine.units ? std::string(NameOfChoice(*machine.units, kUnits)) : "";
    case Setting::Direction:
      return machine.direction ? std::string(NameOfChoice(*machine.direction, kDirections)) : "";
    case Setting::Entry:
      return machine.entry ? std::string(NameOfChoice(*machine.entry, kEntries)) : "";
    case Setting::ChipBreak:
      return machine.chipBreak ? std::string(NameOfChoice(*machine.chipBreak, kYesNo)) : "";
    default: {
      const std::optional<double>& number = *NumberOf(machine, setting);
      return number ? NumberText(*number) : "";
    }
  }
}

std::optional<std::string> MissingSetting(const Machine& machine) {
  if (!machine.units) return "units (mm or inch)";
  if (!machine.feed) return "a feed, the feed of every cut";
  return std::nullopt;
}

std::optional<SettingProblem> MachineProblem(const Machine& machine) {
  const bool inches = machine.units == Units::Inches;
  for (const SettingDescription& description : kSettings) {
    const SettingBound& bound = description.bound;
    if (bound.most == 0) continue;
    const std::optional<double>& value = *NumberOf(machine, description.setting);
    const double most = inches ? bound.most / 25 : bound.most;
    if (value && *value > most) {
      return SettingProblem{description.setting, "must be at most " + FormatCoord(most) + " (" +
                                                     (inches ? "inches" : "mm") +
                                                     std::string(bound.per) + "), not " +
                                                     SettingText(machine, description.setting)};
    }
  }
  const double safeZ =
      machine.safeZ.value_or(DefaultSafeZ(machine.units.value_or(Units::Millimetres)));
  if (machine.retractZ && *machine.retractZ > safeZ) {
    return SettingProblem{Setting::RetractZ, "must not be above the clearance height, " +
                                                 FormatCoord(safeZ) + ", not " +
                                                 SettingText(machine, Setting::RetractZ)};
  }
  if (machine.chipBreak == true && !machine.peck) {
    return SettingProblem{Setting::ChipBreak, "breaks the chip between pecks: give --peck too"};
  }
  if (machine.peck && machine.dwell && *machine.dwell > 0.0) {
    return SettingProblem{Setting::Dwell,
                          "waits at the bottom of a hole drilled in one feed; a pecked hole has "
                          "none (drop --peck or --dwell)"};
  }
  if (machine.spindleDelay && !machine.spindle) {
    return SettingProblem{Setting::SpindleDelay,
                          "waits for the spindle to reach speed: give the spindle's speed too"};
  }
  return std::nullopt;
}

bool SameMachineName(std::string_view a, std::string_view b) {
  const auto trimmed = [](std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::string_view();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
  };
  a = trimmed(a);
  b = trimmed(b);
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

MachineSettings SettingsOf(const Machine& machine) {
  MachineSettings settings;
  settings.dialect = machine.dialect;
  settings.units = machine.units.value_or(Units::Millimetres);
  settings.feed = machine.feed.value_or(0.0);
  settings.plungeFeed = machine.plungeFeed.value_or(settings.feed);
  settings.safeZ = machine.safeZ.value_or(DefaultSafeZ(settings.units));
  settings.stepDown = machine.stepDown;
  settings.spindle = machine.spindle;
  settings.spindleDelay = machine.spindleDelay;
  settings.direction = machine.direction.value_or(Direction::Climb);
  settings.entry = machine.entry.value_or(Entry::Plunge);
  settings.rampAngle = machine.rampAngle.value_or(settings.rampAngle);
  settings.motion = DefaultMotion(settings.units);
  for (std::size_t axis = 0; axis < 3; ++axis) {
    settings.motion.maxRate[axis] = machine.maxRate[axis].value_or(settings.motion.maxRate[axis]);
    settings.motion.acceleration[axis] =
        machine.acceleration[axis].value_or(settings.motion.acceleration[axis]);
  }
  settings.motion.junctionDeviation =
      machine.junctionDeviation.value_or(settings.motion.junctionDeviation);
  settings.motion.arcTolerance = machine.arcTolerance.value_or(settings.motion.arcTolerance);
  settings.drill.peck = machine.peck;
  settings.drill.chipBreak = machine.chipBreak.value_or(false);
  settings.drill.dwell = machine.dwell;
  settings.drill.retractZ = machine.retractZ;
  return settings;
}

bool OperationTakes(ShapeKind shape, Setting setting) {
  const Operation& operation = OperationOf(shape);
  switch (DescriptionOf(setting).takers) {
    case Takers::Milling:
      return !operation.drills();
    case Takers::Outlines:
      return operation.outlines();
    case Takers::Drilling:
      return operation.drills();
    default:
      return true;
  }
}

std::string OperationsTaking(Setting setting) {
  std::vector<std::string_view> names;
  for (const Operation& operation : Operations()) {
    if (OperationTakes(operation.kind, setting)) names.push_back(operation.name);
  }
  return ListedWords(names, " and ");
}

std::optional<GivenProblem> GivenSettingsProblem(const Machine& machine,
                                                 std::span<const Setting> given, ShapeKind shape,
                                                 bool fill, bool outside) {
  const Operation& operation = OperationOf(shape);
  const auto isGiven = [&](Setting setting) {
    return std::find(given.begin(), given.end(), setting) != given.end();
  };
  const auto problem = [](Setting setting, std::string words) {
    return GivenProblem{std::string(DescriptionOf(setting).key), std::move(words)};
  };
  for (const Setting setting : given) {
    if (!OperationTakes(shape, setting)) {
      return problem(
          setting, "is for " + OperationsTaking(setting) + ", not " + std::string(operation.name));
    }
  }
  if (!operation.outlines()) {
    if (outside)
      return GivenProblem{"side",
                          "is for outlines; a " + std::string(operation.name) + " has none"};
    if (fill)
      return GivenProblem{"fill",
                          "clears a pocket; a " + std::string(operation.name) + " has none"};
    return std::nullopt;
  }
  if (outside && fill) {
    return GivenProblem{"side=outside", "cuts an outline; " + std::string(kFillIsInside)};
  }
  if (isGiven(Setting::Stepover) && !fill) {
    return problem(Setting::Stepover, "spaces the rings of a Fill; give --fill");
  }
  const bool tabs = machine.tabs && *machine.tabs > 0;
  if (isGiven(Setting::Tabs) && tabs && fill) {
    return problem(Setting::Tabs, std::string(kTabsHoldOutlines));
  }
  for (const Setting size : {Setting::TabWidth, Setting::TabHeight, Setting::TabAngle}) {
    if (isGiven(size) && !tabs) return problem(size, "is for --tabs");
  }
  if (isGiven(Setting::RampAngle) && machine.entry != Entry::Ramp) {
    return problem(Setting::RampAngle, "is for --entry=ramp");
  }
  return std::nullopt;
}

MachineSettings ForOperation(MachineSettings settings, ShapeKind shape) {
  const MachineSettings defaults;
  if (!OperationTakes(shape, Setting::StepDown)) settings.stepDown.reset();
  if (!OperationTakes(shape, Setting::Direction)) settings.direction = defaults.direction;
  if (!OperationTakes(shape, Setting::Entry)) settings.entry = defaults.entry;
  if (!OperationTakes(shape, Setting::RampAngle)) settings.rampAngle = defaults.rampAngle;
  if (!OperationTakes(shape, Setting::Peck)) settings.drill = defaults.drill;
  return settings;
}

void ApplyStrategy(const Machine& machine, ShapeKind shape, bool fill, CuttingStrategy& strategy) {
  const Operation& operation = OperationOf(shape);
  if (!operation.outlines()) {
    if (shape == ShapeKind::Face) {
      if (machine.stepover) strategy.stepover = *machine.stepover;
      strategy.oneWay = machine.direction;
    }
    return;
  }
  if (machine.stepover && fill) strategy.stepover = *machine.stepover;
  if (machine.finish) strategy.finishAllowance = machine.finish;
  if (machine.tabs && !fill) {
    strategy.tabs.count = static_cast<int>(*machine.tabs);
    strategy.tabs.width = machine.tabWidth;
    strategy.tabs.height = machine.tabHeight;
    strategy.tabs.angle = machine.tabAngle;
  }
}

std::vector<Setting> UnusedSettings(const Machine& machine, ShapeKind shape, bool fill) {
  std::vector<Setting> unused;
  if (!OperationOf(shape).outlines()) return unused;
  if (machine.stepover && !fill) unused.push_back(Setting::Stepover);
  if (machine.tabs && *machine.tabs > 0 && fill) unused.push_back(Setting::Tabs);
  return unused;
}

}  // namespace quorrel
