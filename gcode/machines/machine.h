#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gcode/job/machine_settings.h"
#include "gcode/strategy/cutting_strategy.h"

namespace quorrel {

/// A controller and how to drive it, under a name the machinist gave it: what a program for it
/// needs beyond the job (the shape's own fields and the side of the contour are the job's). A
/// setting left out takes its default where a program is written; units and feed have none.
struct Machine {
  std::string name;
  Dialect dialect = Dialect::LinuxCnc;
  std::optional<Units> units;
  std::optional<double> feed;
  std::optional<double> plungeFeed;
  std::optional<double> safeZ;
  std::optional<double> stepDown;
  std::optional<double> spindle;
  std::optional<double> spindleDelay;
  std::optional<Direction> direction;
  std::optional<Entry> entry;
  std::optional<double> rampAngle;
  std::optional<double> stepover;
  std::optional<double> finish;
  std::optional<double> tabs;  ///< a whole count
  std::optional<double> tabWidth;
  std::optional<double> tabHeight;
  std::optional<double> tabAngle;
  std::array<std::optional<double>, 3> maxRate;       ///< X, Y, Z
  std::array<std::optional<double>, 3> acceleration;  ///< X, Y, Z
  std::optional<double> junctionDeviation;
  std::optional<double> arcTolerance;
  std::optional<double> peck;
  std::optional<bool> chipBreak;
  std::optional<double> dwell;
  std::optional<double> retractZ;
};

/// The settings of a machine, each by the name it has in the machines file and, after "--", as
/// an option of quorrel-gcode.
enum class Setting {
  Dialect,
  Units,
  Feed,
  PlungeFeed,
  SafeZ,
  StepDown,
  Spindle,
  SpindleDelay,
  Direction,
  Entry,
  RampAngle,
  Stepover,
  Finish,
  Tabs,
  TabWidth,
  TabHeight,
  TabAngle,
  MaxRateX,
  MaxRateY,
  MaxRateZ,
  AccelerationX,
  AccelerationY,
  AccelerationZ,
  JunctionDeviation,
  ArcTolerance,
  Peck,
  ChipBreak,
  Dwell,
  RetractZ,
};

struct SettingDescription {
  Setting setting;
  std::string_view key;      ///< "plunge-feed"
  std::string_view caption;  ///< "&Plunge feed", with the window's keyboard mnemonic
  std::string_view help;     ///< what it is, and its default: "(default: the feed)"
};

inline constexpr std::array<SettingDescription, 29> kSettings{{
    {Setting::Dialect, "dialect", "&Controller", "linuxcnc or grbl"},
    {Setting::Units, "units", "&Units", "mm or inch"},
    {Setting::Feed, "feed", "&Feed", "of every cut, units per minute"},
    {Setting::PlungeFeed, "plunge-feed", "&Plunge feed", "of every move down (default: the feed)"},
    {Setting::SafeZ, "safe-z", "C&learance height", "of every rapid move (default 5 mm, 0.2 in)"},
    {Setting::StepDown, "step-down", "S&tep-down", "depth of cut per pass (default: all at once)"},
    {Setting::Spindle, "spindle", "Spi&ndle", "revolutions per minute, started clockwise"},
    {Setting::SpindleDelay, "spindle-delay", "Spindle dela&y",
     "seconds the spindle takes to reach speed"},
    {Setting::Direction, "direction", "&Direction", "climb (default) or conventional"},
    {Setting::Entry, "entry", "&Entry", "plunge (default) or ramp"},
    {Setting::RampAngle, "ramp-angle", "&Ramp angle", "degrees, 0.5 to 90 (default 3)"},
    {Setting::Stepover, "stepover", "Step&over",
     "a Fill's ring spacing, % of the tool (default 75)"},
    {Setting::Finish, "finish", "Finishing &allowance", "left for a last pass along the wall"},
    {Setting::Tabs, "tabs", "Holding ta&bs", "how many hold an outline's part (default 0)"},
    {Setting::TabWidth, "tab-width", "Tab w&idth", "along the contour (default: 2 tool diameters)"},
    {Setting::TabHeight, "tab-height", "Tab hei&ght", "above the Depth (default: a third of it)"},
    {Setting::TabAngle, "tab-angle", "Tab &slope",
     "of a tab's sides, degrees (default 90; 45 with ramp entry)"},
    {Setting::MaxRateX, "max-rate-x", "Max rate &X",
     "X's fastest, units per minute, GRBL's $110 (default 500 mm)"},
    {Setting::MaxRateY, "max-rate-y", "Max rate Y", "Y's, GRBL's $111 (default 500 mm)"},
    {Setting::MaxRateZ, "max-rate-z", "Max rate &Z", "Z's, GRBL's $112 (default 500 mm)"},
    {Setting::AccelerationX, "acceleration-x", "Acceleration X",
     "units per second squared, GRBL's $120 (default 10 mm)"},
    {Setting::AccelerationY, "acceleration-y", "Acceleration Y", "GRBL's $121 (default 10 mm)"},
    {Setting::AccelerationZ, "acceleration-z", "Acceleration Z", "GRBL's $122 (default 10 mm)"},
    {Setting::JunctionDeviation, "junction-deviation", "&Junction deviation",
     "how far a corner is rounded, GRBL's $11 (default 0.010 mm)"},
    {Setting::ArcTolerance, "arc-tolerance", "Arc tolerance",
     "of an arc's chords, GRBL's $12 (default 0.002 mm)"},
    {Setting::Peck, "peck", "Pec&k", "a hole's feed into new material at most this, retracting"},
    {Setting::ChipBreak, "chip-break", "Chip brea&k",
     "with a peck, retract a little to break the chip (default false)"},
    {Setting::Dwell, "dwell", "D&well", "seconds at the bottom of each hole"},
    {Setting::RetractZ, "retract-z", "Retract &height",
     "above the work surface, where holes start (default 1 mm, 0.04 in)"},
}};

/// The setting of `key` ("plunge-feed"), or nothing.
std::optional<Setting> SettingNamed(std::string_view key);
const SettingDescription& DescriptionOf(Setting setting);

/// Sets a machine's setting from its text, as a machinist writes it ("600", "grbl"), checked
/// as quorrel-gcode checks its options. Returns what is wrong, as the words that follow the
/// setting's name, or nothing: "must be above 0 (at least .001), not -5"; "takes mm or inch,
/// not \"cm\"", "needs a number, not \"\"". The machine is unchanged when the text is wrong.
std::optional<std::string> SetSetting(Machine& machine, Setting setting, std::string_view text);

/// Leaves the setting out, to take its default; a machine's dialect cannot be left out.
void ClearSetting(Machine& machine, Setting setting);

/// The words a setting that is a choice takes ("linuxcnc", "grbl"); none for a number.
std::span<const std::string_view> ChoicesOf(Setting setting);

/// The setting's text, as SetSetting reads it; empty when it is left out.
std::string SettingText(const Machine& machine, Setting setting);

/// What the machine lacks before a program can be written for it ("units", "a feed"), or
/// nothing.
std::optional<std::string> MissingSetting(const Machine& machine);

/// A mistake of one setting that only the machine's other settings show: the setting, and the
/// words that follow its name.
struct SettingProblem {
  Setting setting;
  std::string words;
};

/// What is wrong with the machine's settings together, or nothing: a speed or size beyond what a
/// real machine has in its units (feeds 100000 mm or 4000 inches per minute, heights and sizes
/// 1000 mm or 40 inches), or a spindle delay without a spindle to wait for. "must be at most
/// 100000 (mm per minute), not 1e12".
std::optional<SettingProblem> MachineProblem(const Machine& machine);

/// Two machine names are one as a person reads them: equal without the blanks around them and
/// without regard to the case of their letters. SameMachineName("Router", " router ") is true.
bool SameMachineName(std::string_view a, std::string_view b);

/// The controller's settings of a complete machine, each setting left out at its default.
MachineSettings SettingsOf(const Machine& machine);

/// Whether the operation of `shape` takes the setting: a drilling takes its drilling settings and
/// no milling ones (step-down, direction, entry, stepover, finish, tabs); a facing its step-down,
/// direction and stepover; an outline or pocket every milling setting and no drilling one. Every
/// operation takes the controller's own (units, feeds, clearance, spindle, motion).
bool OperationTakes(ShapeKind shape, Setting setting);

/// The settings as a job of `shape` runs them: those its operation does not take are the
/// machine's for other jobs, and left at their defaults (a machine's step-down does not drill a
/// hole twice, nor does its ramp come down into a facing).
MachineSettings ForOperation(MachineSettings settings, ShapeKind shape);

/// The machine's part in a job's strategy: for an outline its finishing allowance, with Fill its
/// stepover, and without Fill its holding tabs; for a facing its stepover, and its direction,
/// where it has one, for every stroke.
void ApplyStrategy(const Machine& machine, ShapeKind shape, bool fill, CuttingStrategy& strategy);

/// The settings of the machine that a job with or without Fill does not use: an outline has no
/// rings to space, a pocket no part to hold.
std::vector<Setting> UnusedSettings(const Machine& machine, ShapeKind shape, bool fill);

}  // namespace quorrel
