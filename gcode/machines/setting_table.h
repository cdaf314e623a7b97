#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quorrel {

/// The settings of a machine, each by the name it has in the machines file and a job file and,
/// after "--", as an option of quorrel-gcode.
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

/// The operations that take a setting: every one; those that mill (the outlines, pockets and
/// facings); the outlines and pockets alone; those that drill.
enum class Takers : std::uint8_t { Every, Milling, Outlines, Drilling };

/// The most a setting may be, in millimetres (a twenty-fifth of it in inches), and the words of
/// its unit after "mm" or "inches": " per minute". No bound where `most` is 0.
struct SettingBound {
  double most = 0;
  std::string_view per;
};

/// Everything that is known of one setting, the one place the command line, its help and manual
/// page, the machines file, a job file and the Machines dialog read it from. Every setting is
/// the controllers' (LinuxCNC and GRBL); the window's own program takes none.
struct SettingDescription {
  Setting setting;
  std::string_view key;      ///< "plunge-feed"
  std::string_view caption;  ///< "&Plunge feed", with the window's keyboard mnemonic
  std::string_view hint;     ///< beside it in the dialog: "of every move down (default: the feed)"
  std::string_view value;    ///< what --help calls its value: "RATE"; empty for a switch
  std::string_view help;     ///< --help's lines after the option, LF between them
  Takers takers = Takers::Every;
  SettingBound bound;
};

inline constexpr SettingBound kFeedBound{100'000, " per minute"};
inline constexpr SettingBound kLengthBound{1'000, ""};
inline constexpr SettingBound kAccelerationBound{100'000, " per second squared"};

inline constexpr std::array<SettingDescription, 29> kSettings{{
    {Setting::Dialect,
     "dialect",
     "&Controller",
     "linuxcnc or grbl",
     "DIALECT",
     "din (default): the window's programs, byte for byte;\n"
     "linuxcnc or grbl: a program that controller runs as it stands",
     Takers::Every,
     {}},
    {Setting::Units,
     "units",
     "&Units",
     "mm or inch",
     "UNITS",
     "mm or inch, required with linuxcnc and grbl: writes G21 or G20",
     Takers::Every,
     {}},
    {Setting::Feed, "feed", "&Feed", "of every cut, units per minute", "RATE",
     "required with linuxcnc and grbl: the feed of every cut", Takers::Every, kFeedBound},
    {Setting::PlungeFeed, "plunge-feed", "&Plunge feed", "of every move down (default: the feed)",
     "RATE", "the feed of every move down into the material (default: --feed)", Takers::Every,
     kFeedBound},
    {Setting::SafeZ, "safe-z", "C&learance height", "of every rapid move (default 5 mm, 0.2 in)",
     "Z", "clearance height of every rapid move (default 5 with mm, 0.2\nwith inch)", Takers::Every,
     kLengthBound},
    {Setting::StepDown, "step-down", "S&tep-down", "depth of cut per pass (default: all at once)",
     "DEPTH", "depth of cut per pass (default: the whole Depth in one pass)", Takers::Milling,
     kLengthBound},
    {Setting::Spindle,
     "spindle",
     "Spi&ndle",
     "revolutions per minute, started clockwise",
     "RPM",
     "start the spindle clockwise before cutting and stop it after\n(at most 100000)",
     Takers::Every,
     {}},
    {Setting::SpindleDelay,
     "spindle-delay",
     "Spindle dela&y",
     "seconds the spindle takes to reach speed",
     "SECONDS",
     "wait after starting the spindle, before the first move\n"
     "into the work (G4), for it to reach speed",
     Takers::Every,
     {}},
    {Setting::Direction,
     "direction",
     "&Direction",
     "climb (default) or conventional",
     "DIRECTION",
     "climb (default): the material on the cutter's right, with a\n"
     "clockwise spindle: counter-clockwise inside the contour,\n"
     "clockwise round the outside; conventional: the other way\n"
     "round; a clockwise arc is G2, about the same centre; a\n"
     "facing's strokes all one way, +X or -X",
     Takers::Milling,
     {}},
    {Setting::Entry,
     "entry",
     "&Entry",
     "plunge (default) or ramp",
     "ENTRY",
     "plunge (default): straight down at the start of each pass; ramp:\n"
     "down along the path itself, back and forth, or round a circle",
     Takers::Outlines,
     {}},
    {Setting::RampAngle,
     "ramp-angle",
     "&Ramp angle",
     "degrees, 0.5 to 90 (default 3)",
     "DEGREES",
     "steepest descent of a ramp, 0.5 to 90 (default 3)",
     Takers::Outlines,
     {}},
    {Setting::Stepover,
     "stepover",
     "Step&over",
     "a Fill's ring spacing, % of the tool (default 75)",
     "PERCENT",
     "Fill's ring spacing in % of the tool's diameter, 1 to 100\n"
     "(default 75); a rectangle's rings lie at most 85 % apart, since\n"
     "wider square rings leave material between their corners; a\n"
     "facing's strokes lie as far apart (default 75)",
     Takers::Milling,
     {}},
    {Setting::Finish, "finish", "Finishing &allowance", "left for a last pass along the wall",
     "ALLOWANCE",
     "every path keeps ALLOWANCE more from the wall; then one last\n"
     "pass along the wall at full depth cuts it to size (with\n"
     "--fill, ALLOWANCE is at most one ring spacing)",
     Takers::Outlines, kLengthBound},
    {Setting::Tabs,
     "tabs",
     "Holding ta&bs",
     "how many hold an outline's part (default 0)",
     "COUNT",
     "holding tabs on the outline, evenly spaced along it (default 0:\n"
     "none), 0 to 64; outlines only",
     Takers::Outlines,
     {}},
    {Setting::TabWidth, "tab-width", "Tab w&idth", "along the contour (default: 2 tool diameters)",
     "WIDTH",
     "length of each tab along the contour, at the part's edge\n"
     "(default: 2 x the tool's diameter)",
     Takers::Outlines, kLengthBound},
    {Setting::TabHeight, "tab-height", "Tab hei&ght", "above the Depth (default: a third of it)",
     "HEIGHT",
     "thickness of each tab above Depth (default: a third of the\n"
     "Depth's size, at most 2 mm or 0.08 in)",
     Takers::Outlines, kLengthBound},
    {Setting::TabAngle,
     "tab-angle",
     "Tab &slope",
     "of a tab's sides, degrees (default 90; 45 with ramp entry)",
     "DEGREES",
     "slope of each tab's sides from the horizontal, 1 to 90\n"
     "(default 90, upright; 45 with --entry=ramp)",
     Takers::Outlines,
     {}},
    {Setting::MaxRateX, "max-rate-x", "Max rate &X",
     "X's fastest, units per minute, GRBL's $110 (default 500 mm)", "RATE",
     "the fastest of X, units per minute, GRBL's $110 (default\n"
     "500 mm); LinuxCNC's MAX_VELOCITY times 60",
     Takers::Every, kFeedBound},
    {Setting::MaxRateY, "max-rate-y", "Max rate Y", "Y's, GRBL's $111 (default 500 mm)", "RATE",
     "the fastest of Y, GRBL's $111 (default 500 mm)", Takers::Every, kFeedBound},
    {Setting::MaxRateZ, "max-rate-z", "Max rate &Z", "Z's, GRBL's $112 (default 500 mm)", "RATE",
     "the fastest of Z, GRBL's $112 (default 500 mm)", Takers::Every, kFeedBound},
    {Setting::AccelerationX, "acceleration-x", "Acceleration X",
     "units per second squared, GRBL's $120 (default 10 mm)", "ACCEL",
     "X's acceleration, units per second squared, GRBL's $120\n"
     "(default 10 mm); LinuxCNC's MAX_ACCELERATION",
     Takers::Every, kAccelerationBound},
    {Setting::AccelerationY, "acceleration-y", "Acceleration Y", "GRBL's $121 (default 10 mm)",
     "ACCEL", "Y's acceleration, GRBL's $121 (default 10 mm)", Takers::Every, kAccelerationBound},
    {Setting::AccelerationZ, "acceleration-z", "Acceleration Z", "GRBL's $122 (default 10 mm)",
     "ACCEL", "Z's acceleration, GRBL's $122 (default 10 mm)", Takers::Every, kAccelerationBound},
    {Setting::JunctionDeviation, "junction-deviation", "&Junction deviation",
     "how far a corner is rounded, GRBL's $11 (default 0.010 mm)", "LENGTH",
     "how far a corner is rounded at speed, GRBL's $11\n(default 0.010 mm)", Takers::Every,
     kLengthBound},
    {Setting::ArcTolerance, "arc-tolerance", "Arc tolerance",
     "of an arc's chords, GRBL's $12 (default 0.002 mm)", "LENGTH",
     "how far an arc's chords may leave it, GRBL's $12\n"
     "(default 0.002 mm); with inches the defaults are converted",
     Takers::Every, kLengthBound},
    {Setting::Peck, "peck", "Pec&k", "a hole's feed into new material at most this, retracting",
     "Q",
     "drill each hole in pecks, each feed into new material at\n"
     "most Q, out to the retract height between them (G83)",
     Takers::Drilling, kLengthBound},
    {Setting::ChipBreak,
     "chip-break",
     "Chip brea&k",
     "with a peck, retract a little to break the chip (default false)",
     "",
     "with --peck, back off only a little between pecks to break\nthe chip (G73)",
     Takers::Drilling,
     {}},
    {Setting::Dwell,
     "dwell",
     "D&well",
     "seconds at the bottom of each hole",
     "SECONDS",
     "wait at the bottom of each hole (G82); not with --peck",
     Takers::Drilling,
     {}},
    {Setting::RetractZ, "retract-z", "Retract &height",
     "above the work surface, where holes start (default 1 mm, 0.04 in)", "R",
     "the height above the work surface at which each hole starts\n"
     "and pecks retract (default 1 mm or 0.04 in), at most --safe-z",
     Takers::Drilling, kLengthBound},
}};

}  // namespace quorrel
