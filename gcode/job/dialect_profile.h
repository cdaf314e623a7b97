#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "gcode/job/machine_settings.h"
#include "gcode/job/named_choices.h"

namespace quorrel {

/// Everything Quorrel knows of the programs of one controller, in one place: how options and
/// files name it, how messages and the window call it, how its programs are saved, and what it
/// asks of their lines.
struct DialectProfile {
  Dialect dialect;
  std::string_view key;           ///< as options and files name it: "grbl"
  std::string_view name;          ///< as messages and the window say it: "GRBL"
  std::string_view saveFilter;    ///< the save dialog's file types
  std::string_view proposedFile;  ///< the name the save dialog proposes
  /// The set-up line after its units word (G21 or G20); none for the window's own program.
  std::string_view setUp;
  std::size_t longestLine;  ///< in the characters it counts; 0 where it reads any
  /// GRBL counts neither blanks nor comments; LinuxCNC counts every character.
  bool countsBlanksAndComments;
  /// GRBL acts on "!", "~", "?", Ctrl-X and every byte from 0x80 wherever it stands in a line,
  /// in a comment too (feed hold, cycle start, status, reset, overrides).
  bool actsOnRealTimeCharacters;
  /// LinuxCNC acts on a comment that begins with MSG, DEBUG, PRINT, LOG… or PROBE… (it shows a
  /// message, opens a file).
  bool actsOnActiveComments;
  /// It runs drilling cycles (G81, G82, G83, G73); GRBL refuses them (error 20).
  bool drillingCycles;
  /// It changes tools (T M6, G43 H); GRBL refuses M6 (error 20), and is paused for a change.
  bool changesTools;
};

inline constexpr std::array<DialectProfile, 3> kDialectProfiles{{
    {Dialect::Din, "din", "din", "Din ( G-Code ) (*.din)", "File1.din", "", 0, true, false, false,
     false, false},
    {Dialect::LinuxCnc, "linuxcnc", "LinuxCNC", "LinuxCNC program (*.ngc);;All files (*)",
     "File1.ngc", "G90 G17 G94 G91.1", 252, true, false, true, true, true},
    // GRBL keeps one byte of its 80-byte line buffer for the end of the line, and answers a line
    // of 80 counted characters with error 11.
    {Dialect::Grbl, "grbl", "GRBL", "GRBL program (*.nc);;All files (*)", "File1.nc",
     "G90 G17 G94 G91.1", 79, false, true, false, false, false},
}};

/// The profile of `dialect`.
constexpr const DialectProfile& ProfileOf(Dialect dialect) {
  return kDialectProfiles[static_cast<std::size_t>(dialect)];
}

/// The dialects by their keys: every one ("din, linuxcnc or grbl"), or the controllers alone.
inline constexpr NamedChoices<Dialect, 3> kDialectKeys{
    {{kDialectProfiles[0].key, Dialect::Din},
     {kDialectProfiles[1].key, Dialect::LinuxCnc},
     {kDialectProfiles[2].key, Dialect::Grbl}}};
inline constexpr NamedChoices<Dialect, 2> kControllerKeys{
    {{kDialectProfiles[1].key, Dialect::LinuxCnc}, {kDialectProfiles[2].key, Dialect::Grbl}}};

}  // namespace quorrel
