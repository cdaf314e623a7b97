#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gcode/job/machine_settings.h"
#include "gcode/machines/setting_table.h"
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

/// Whether a settings file quotes the setting's text: a word of its choices ("linuxcnc"), but
/// not chip-break's, which are TOML's own true and false, nor a number.
bool QuotedInSettingsFile(Setting setting);

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

/// The operations that take the setting, as a message lists them: "hole, bolt-circle and
/// hole-grid".
std::string OperationsTaking(Setting setting);

/// What is wrong with the settings given for one job beside the machine's (on the command line,
/// or in a job file's operation), as the key's words: `key` "tab-width", `words` "is for --tabs".
struct GivenProblem {
  std::string key;
  std::string words;
};

/// What is wrong with settings given for a job of `shape`, with or without Fill and cut inside or
/// outside the contour, on the machine as they make it: a side or a Fill for an operation without
/// an outline, an outside Fill, a setting the operation does not take ("peck is for hole, …, not
/// face"), a stepover for an outline without Fill, tabs for a Fill, a tab's size without tabs, a
/// ramp angle without a ramp. Nothing where they are sound.
std::optional<GivenProblem> GivenSettingsProblem(const Machine& machine,
                                                 std::span<const Setting> given, ShapeKind shape,
                                                 bool fill, bool outside);

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
