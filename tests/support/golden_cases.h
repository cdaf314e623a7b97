#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "gcode/save/save_command.h"

namespace quorrel::testing {

/// One expected program: the arguments of quorrel-gcode that make it, its exit status, and the
/// bytes it must write.
struct GoldenCase {
  std::string name;
  int exitStatus = 0;
  std::vector<std::string> arguments;
  std::string expectedProgram;
  bool found = false;  ///< the expected program's file exists
};

/// Test names show a case by its name alone.
inline void PrintTo(const GoldenCase& golden, std::ostream* out) {
  *out << golden.name;
}

/// The file ending of a case's expected program: ".din" for the window's own programs, ".ngc"
/// for LinuxCNC's and ".nc" for GRBL's.
std::string GoldenExtension(const GoldenCase& golden);

/// The job a golden case's arguments describe (--shape=, --fill and the fields' options), read
/// with the core's own field table.
SaveRequest RequestOf(const GoldenCase& golden);

/// The cases of tests/data/golden_cases.tsv with their golden/<name>.din files.
std::vector<GoldenCase> LoadGoldenCases();

/// The whole of a file, or an empty string when it cannot be read.
std::string ReadFileBytes(const std::string& path);

/// Where the test data lives, and the command-line tool under test.
std::string TestDataPath(const std::string& relative);
std::string GcodeToolPath();

}  // namespace quorrel::testing
