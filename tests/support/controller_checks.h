#pragma once

#include <string>
#include <utility>
#include <vector>

#include "gcode/job/machine_settings.h"

namespace quorrel::testing {

/// One motion as LinuxCNC's interpreter reports it (its canonical calls).
struct CanonMove {
  enum class Kind { Traverse, Feed, Arc } kind;
  double x, y, z;
  double centerX = 0, centerY = 0;
  int rotation = 0;  ///< 1 counter-clockwise, -1 clockwise (arcs only)
  double feed = 0;   ///< the feed in force (feeds and arcs)
};

/// What `rs274 -g` makes of a program: its motions, or the interpreter's error text.
struct LinuxCncRun {
  std::vector<CanonMove> moves;
  /// The waits (G4, or a drilling cycle's at the bottom of a hole): how many moves came before
  /// each, and its seconds.
  std::vector<std::pair<std::size_t, double>> dwells;
  /// The tools changed to (M6), in order; every tool's length is 0.
  std::vector<int> toolChanges;
  /// The comments, each with how many moves came before it.
  std::vector<std::pair<std::size_t, std::string>> comments;
  std::string error;  ///< empty when the interpreter read the whole program
};

/// Runs LinuxCNC's own interpreter, rs274, over the program, with a tool table of tools 1 to 99
/// whose lengths are all 0.
LinuxCncRun RunLinuxCnc(const std::string& program);

/// The rules GRBL 1.1 holds a program to, each broken rule with its line: no G90.1, no tool change
/// (M6, T, G43) and no drilling cycle (error 20), no
/// "%" (error 1), a feed before the first G1, G2 or G3 (error 22), at most 79 characters a line
/// not counting blanks and comments (error 11), an axis word and an offset in the plane on every
/// arc (errors 26 and 35), and an end radius within 0.005 mm or 0.1 % of the start radius
/// (error 33).
std::vector<std::string> GrblRuleBreaks(const std::string& program, Units units);

}  // namespace quorrel::testing
