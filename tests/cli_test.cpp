#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>

#include "gcode/program/program_reader.h"
#include "gcode/version.h"
#include "tests/support/case_name.h"
#include "tests/support/configuration_folder.h"
#include "tests/support/golden_cases.h"
#include "tests/support/hostile_programs.h"
#include "tests/support/run_process.h"
#include "tests/support/temporary_folder.h"

namespace quorrel {
namespace {

using testing::GcodeToolPath;
using testing::GoldenCase;
using testing::ProcessResult;
using testing::ReadFileBytes;
using testing::RunProcess;

// The tool under test, in the "C" locale unless a test says otherwise.
ProcessResult RunTool(const std::vector<std::string>& arguments,
                      std::map<std::string, std::string> environment = {}) {
  environment.try_emplace("LC_ALL", "C");
  return RunProcess(GcodeToolPath(), arguments, environment);
}

class GoldenCli : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenCli, WritesTheExpectedBytesAndExitStatus) {
  const GoldenCase& golden = GetParam();
  ASSERT_TRUE(golden.found) << "no expected program for " << golden.name;
  const ProcessResult result = RunTool(golden.arguments);
  EXPECT_EQ(result.exitStatus, golden.exitStatus);
  EXPECT_EQ(result.standardOutput, golden.expectedProgram);
  EXPECT_EQ(result.standardError.empty(), golden.exitStatus == 0) << result.standardError;
  // Every failure says that standard output received nothing, and calls it by its name.
  if (golden.exitStatus != 0) {
    EXPECT_NE(result.standardError.find("Nothing was written"), std::string::npos)
        << result.standardError;
    EXPECT_EQ(result.standardError.find("\"-\""), std::string::npos) << result.standardError;
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, GoldenCli, ::testing::ValuesIn(testing::LoadGoldenCases()),
                         testing::CaseName<GoldenCase>);

using CliFiles = testing::TemporaryFolder;

// A job whose later passes are written again from what was written of the first, which is far
// more than is held back before it goes out.
const std::vector<std::string> kPassesBeyondTheBuffer{
    "--dialect=linuxcnc", "--units=mm",      "--feed=600",         "--fill",
    "--width=98.303",     "--height=98.303", "--tool-radius=0.01", "--step-down=0.75"};

TEST_F(CliFiles, OutputFileHoldsWhatStandardOutputWould) {
  for (const std::vector<std::string>& job :
       {std::vector<std::string>{"--shape=circle", "--fill", "--radius", "5", "--depth", "-1.5"},
        kPassesBeyondTheBuffer}) {
    const ProcessResult toStdout = RunTool(job);
    ASSERT_EQ(toStdout.exitStatus, 0) << toStdout.standardError;
    std::ofstream(PathOf("File1.din")) << "an older, longer file that must not survive";

    for (const std::vector<std::string>& destination :
         {std::vector<std::string>{"--output=" + PathOf("File1.din")},
          std::vector<std::string>{"-o", PathOf("File1.din")},
          std::vector<std::string>{"--output", PathOf("File1.din")},
          std::vector<std::string>{"-o", PathOf("File1.din"), "--preview=" + PathOf("p.svg")}}) {
      std::vector<std::string> arguments = job;
      arguments.insert(arguments.end(), destination.begin(), destination.end());
      const ProcessResult result = RunTool(arguments);
      EXPECT_EQ(result.exitStatus, 0) << result.standardError;
      EXPECT_EQ(result.standardOutput, "");
      EXPECT_TRUE(ReadFileBytes(PathOf("File1.din")) == toStdout.standardOutput);
    }
  }
}

// Standard output receives the whole program also where it cannot wait in a temporary file: in
// a temporary folder that is not there, or one that fills up on the way.
TEST(Cli, StandardOutputGetsTheWholeProgramWhereverItWaits) {
  const ProcessResult expected = RunTool(kPassesBeyondTheBuffer);
  for (const char* setUp : {"TMPDIR=/nonexistent; export TMPDIR", "trap '' XFSZ; ulimit -f 800"}) {
    SCOPED_TRACE(setUp);
    std::vector<std::string> arguments{"-c", std::string(setUp) + "; exec \"$0\" \"$@\"",
                                       GcodeToolPath()};
    arguments.insert(arguments.end(), kPassesBeyondTheBuffer.begin(), kPassesBeyondTheBuffer.end());
    const ProcessResult result = RunProcess("/bin/sh", arguments, {{"LC_ALL", "C"}});
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_TRUE(result.standardOutput == expected.standardOutput);
  }
}

// A fault, or a disk that fills up on the way, leaves the program that was there before. The
// full disk is a file-size limit: writes fail as they would on a full disk, on any machine.
TEST_F(CliFiles, AFaultOrAFullDiskLeavesTheFileAsItWas) {
  const struct {
    std::vector<std::string> arguments;
    int exitStatus;
    const char* words;
  } rows[] = {
      {{"--tool-radius=0", "--fill"}, 1, "Division by zero"},
      {{"--tool-radius=0.01", "--width=90", "--height=90", "--fill"}, 3, "File too large"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.words);
    for (const char* name : {"part.din", "new.din"}) {
      std::ofstream(PathOf("part.din")) << "a good program";
      std::vector<std::string> arguments{"-c", "trap '' XFSZ; ulimit -f 64; exec \"$0\" \"$@\"",
                                         GcodeToolPath(), "--output=" + PathOf(name)};
      arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
      const ProcessResult result = RunProcess("/bin/sh", arguments, {{"LC_ALL", "C"}});
      EXPECT_EQ(result.exitStatus, row.exitStatus) << result.standardError;
      EXPECT_NE(result.standardError.find(row.words), std::string::npos) << result.standardError;
      EXPECT_NE(result.standardError.find("Nothing was written"), std::string::npos);
      EXPECT_EQ(ReadFileBytes(PathOf("part.din")), "a good program");
      EXPECT_EQ(Names(), std::vector<std::string>{"part.din"});
    }
  }
}

// A refused job or a fault says what to change: the spacing the rings were given and how to
// need fewer of them, or what of a pattern of holes or a facing cannot be.
TEST(Cli, RefusalsAndFaultsSayWhatToChange) {
  const std::vector<std::string> controller{"--dialect=linuxcnc", "--units=mm", "--feed=600",
                                            "--fill"};
  const auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), controller.begin(), controller.end());
    return more;
  };
  const auto job = [&](std::vector<std::string> more) {
    more.insert(more.begin(), controller.begin(), controller.end() - 1);  // without Fill
    return more;
  };
  const struct {
    std::vector<std::string> arguments;
    const char* words;
  } rows[] = {
      {{"--fill", "--tool-radius=0"}, "Fill spaces its rings 1.5 x Tool Radius apart"},
      {with({"--tool-radius=0", "--stepover=40"}),
       "Fill spaces its rings 0.8 x Tool Radius (40 % of the tool's diameter) apart"},
      {with({"--tool-radius=0", "--stepover=100"}),
       "1.7 x Tool Radius (85 % of the tool's diameter)"},
      {with({"--tool-radius=0.001", "--width=90", "--height=90", "--stepover=40"}),
       "(at most 32767) with rings 0.8 x Tool Radius (40 % of the tool's diameter) apart. Use a "
       "larger stepover, a larger Tool Radius or a smaller shape."},
      {job({"--shape=bolt-circle", "--holes=0"}),
       "The holes, 0, are a count: a whole number from 1 to 10000."},
      {job({"--shape=bolt-circle", "--holes=3", "--radius=1"}),
       "The holes would overlap: they stand 1.732 apart, and the drill is 2 across."},
      {job({"--shape=hole-grid", "--columns=2.5"}), "The columns, 2.5, are a count"},
      {job({"--shape=hole-grid", "--columns=1", "--rows=3", "--height=0"}), "they stand 0 apart"},
      {job({"--shape=hole-grid", "--columns=200", "--rows=200"}),
       "The grid of 200 x 200 holes has more than the 10000 a program drills."},
      {job({"--shape=hole", "--peck=9"}),
       "The peck, 9, is deeper than the hole, 2: give a smaller peck, or drill without one."},
      {job({"--shape=hole", "--depth=0"}), "The Depth is 0: a controller's program cuts below"},
      {job({"--shape=hole-grid", "--columns=10", "--rows=10", "--width=100", "--height=100",
            "--depth=-100", "--peck=0.001"}),
       "Holes 100 deep in pecks of .001 take 10000000 pecks, more than the 1000000 a program "
       "drills: give a larger peck."},
      {job({"--shape=face", "--width=0"}), "The stock to face is 0 x 10"},
      {job({"--shape=face", "--tool-radius=0"}), "a facing is cut by a cutter of some size"},
      {job({"--shape=face", "--tool-radius=0.001", "--height=1000"}),
       "takes 666668 strokes, more than the 32767 a pass may run"},
  };
  for (const auto& row : rows) {
    const ProcessResult result = RunTool(row.arguments);
    EXPECT_EQ(result.exitStatus, 1) << row.words;
    EXPECT_NE(result.standardError.find(row.words), std::string::npos) << result.standardError;
  }
}

TEST_F(CliFiles, ARefusedJobCreatesNoFile) {
  const ProcessResult result =
      RunTool({"--tool-radius=-1", "--fill", "--output=" + PathOf("File1.din")});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.standardError.find("Tool Radius"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(PathOf("File1.din")));
}

TEST_F(CliFiles, AnOutputThatCannotBeWrittenExitsWithThree) {
  for (const std::string& path :
       {PathOf("missing/File1.din"), folder_.string(), std::string("/dev/full")}) {
    const ProcessResult result = RunTool({"--fill", "--output=" + path});
    EXPECT_EQ(result.exitStatus, 3) << path;
    EXPECT_NE(result.standardError.find("cannot be written"), std::string::npos) << path;
  }
}

// Root may write any file and folder, so as root a command runs as the unprivileged user
// "nobody", who is given the files a test hands over.
class AsUnprivilegedUser : public testing::TemporaryFolder {
 protected:
  // Runs `shell` (with the tool as "$0" and `arguments` after it) as an ordinary user; nothing
  // when there is no such user to run it as.
  std::optional<ProcessResult> RunShell(const std::string& shell,
                                        const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"-c", shell, GcodeToolPath()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    if (geteuid() != 0) return RunProcess("/bin/sh", command, {{"LC_ALL", "C"}});
    std::vector<std::string> asNobody{"--reuid=65534", "--regid=65534", "--clear-groups",
                                      "/bin/sh"};
    if (RunProcess("/usr/bin/setpriv",
                   {asNobody[0], asNobody[1], asNobody[2], GcodeToolPath(), "--version"})
            .exitStatus != 0) {
      return std::nullopt;
    }
    asNobody.insert(asNobody.end(), command.begin(), command.end());
    return RunProcess("/usr/bin/setpriv", asNobody, {{"LC_ALL", "C"}});
  }
  // The file becomes the ordinary user's, and the folder takes no new file from them.
  void HandOver(const std::string& name) {
    if (geteuid() == 0 && ::chown(PathOf(name).c_str(), 65534, 65534) != 0) FAIL() << name;
    std::filesystem::permissions(
        folder_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                     std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                     std::filesystem::perms::others_exec);
    if (geteuid() != 0) {
      std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::remove);
    }
  }
};

TEST_F(AsUnprivilegedUser, AReadOnlyFileIsNotReplaced) {
  std::ofstream(PathOf("read-only.din")) << "old";
  std::filesystem::permissions(PathOf("read-only.din"), std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::group_read |
                                                            std::filesystem::perms::others_read);
  const std::optional<ProcessResult> result =
      RunShell("exec \"$0\" \"$@\"", {"--output=" + PathOf("read-only.din")});
  if (!result) GTEST_SKIP() << "no ordinary user can run " << GcodeToolPath();
  EXPECT_EQ(result->exitStatus, 3) << result->standardError;
  EXPECT_NE(result->standardError.find("Permission denied"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(PathOf("read-only.din")), "old");
}

// A file that may be written in a folder that takes no new file is written over in place, and
// only into room reserved for the whole program first: a full disk, or a file system that cannot
// reserve, leaves the old program byte for byte, and the message says so.
TEST_F(AsUnprivilegedUser, ALockedFolderKeepsItsProgramUnlessTheNewOneFitsWhole) {
  const std::vector<std::string> job{"--fill", "--tool-radius=0.01", "--width=90", "--height=90"};
  const ProcessResult expected = RunTool(job);
  const struct {
    const char* name;
    const char* shell;
    int exitStatus;
    const char* words;
  } rows[] = {
      {"room enough", "exec \"$0\" \"$@\"", 0, ""},
      {"a full disk", "trap '' XFSZ; ulimit -f 64; exec \"$0\" \"$@\"", 3,
       "no room can be reserved for the program (File too large). Nothing was written;"},
      // The leak check of a sanitized build cannot run under strace, which is a tracer too.
      {"no reservation",
       "export ASAN_OPTIONS=\"${ASAN_OPTIONS:-}:detect_leaks=0\"; "
       "exec strace -f -qq -o /dev/null -e trace=fallocate "
       "-e inject=fallocate:error=EOPNOTSUPP \"$0\" \"$@\"",
       3, "its file system cannot reserve room for the program before it is written over"},
  };
  const std::string good = "a good program\r\n" + std::string(100000, '.');
  std::ofstream(PathOf("part.din")) << good;
  HandOver("part.din");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> arguments = job;
    arguments.push_back("--output=" + PathOf("part.din"));
    const std::optional<ProcessResult> result = RunShell(row.shell, arguments);
    if (!result) GTEST_SKIP() << "no ordinary user can run " << GcodeToolPath();
    EXPECT_EQ(result->exitStatus, row.exitStatus) << result->standardError;
    EXPECT_NE(result->standardError.find(row.words), std::string::npos) << result->standardError;
    if (row.exitStatus == 0) {
      EXPECT_TRUE(ReadFileBytes(PathOf("part.din")) == expected.standardOutput);
      std::ofstream(PathOf("part.din"), std::ios::trunc) << good;
    } else {
      EXPECT_NE(result->standardError.find("\"" + PathOf("part.din") + "\" is unchanged."),
                std::string::npos);
      EXPECT_TRUE(ReadFileBytes(PathOf("part.din")) == good);
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"part.din"});
  }
}

// What the tool asked of the system while it saved, as strace saw it.
std::vector<std::string> SystemCallsOfASave(const std::vector<std::string>& arguments) {
  std::vector<std::string> command{"-f", "-qq", "-e", "trace=openat,fsync,linkat,rename,close",
                                   GcodeToolPath()};
  command.insert(command.end(), arguments.begin(), arguments.end());
  const ProcessResult traced = RunProcess("/usr/bin/strace", command, {{"LC_ALL", "C"}});
  std::vector<std::string> calls;
  std::istringstream lines(traced.standardError);
  for (std::string line; std::getline(lines, line);) calls.push_back(line);
  return calls;
}

// The new program has no name until it is complete and on the disk; it is flushed before it is
// renamed over the old one, and the folder after, so that a power cut leaves one program whole.
TEST_F(CliFiles, ANewProgramIsNamelessUntilItIsOnTheDisk) {
  std::ofstream(PathOf("part.din")) << "a good program";
  const std::vector<std::string> calls = SystemCallsOfASave({"--output=" + PathOf("part.din")});
  const auto at = [&](const std::string& what) {
    return std::find_if(
               calls.begin(), calls.end(),
               [&](const std::string& call) { return call.find(what) != std::string::npos; }) -
           calls.begin();
  };
  const auto end = static_cast<std::ptrdiff_t>(calls.size());
  const auto unnamed = at("O_TMPFILE"), flushed = at("fsync("), named = at("linkat("),
             renamed = at("rename("), folderFlushed = at("O_DIRECTORY");
  ASSERT_LT(renamed, end) << "no rename: is strace installed?";
  EXPECT_LT(unnamed, flushed);
  EXPECT_LT(flushed, named);
  EXPECT_LT(named, renamed);
  EXPECT_LT(renamed, folderFlushed);
  EXPECT_NE(calls[static_cast<std::size_t>(renamed)].find(PathOf("part.din")), std::string::npos);
  EXPECT_LT(folderFlushed + 1, end);
  EXPECT_NE(calls[static_cast<std::size_t>(folderFlushed + 1)].find("fsync("), std::string::npos);
}

// A save killed on the way leaves nothing in the folder but what was there.
TEST_F(CliFiles, AKilledSaveLeavesNothingBehind) {
  std::ofstream(PathOf("part.din")) << "a good program";
  for (const char* delay : {"0.001", "0.003", "0.006", "0.01", "0.02", "0.04"}) {
    SCOPED_TRACE(delay);
    RunProcess("/bin/sh", {"-c", "\"$0\" \"$@\" & sleep " + std::string(delay) + "; kill -9 $!",
                           GcodeToolPath(), "--shape=rounded-rectangle", "--fill",
                           "--tool-radius=0.001", "--width=98.303", "--height=98.303",
                           "--radius=49", "--output=" + PathOf("part.din")});
    EXPECT_EQ(Names(), std::vector<std::string>{"part.din"});
  }
}

TEST(Cli, AStandardOutputThatCannotBeWrittenExitsWithThree) {
  const ProcessResult result =
      RunProcess("/bin/sh", {"-c", "\"$0\" --fill >/dev/full", GcodeToolPath()});
  EXPECT_EQ(result.exitStatus, 3);
  EXPECT_NE(result.standardError.find("cannot be written"), std::string::npos);
}

TEST(Cli, UsageErrorsWriteNothingAndExitWithTwo) {
  const std::vector<std::string> controller{"--dialect=grbl", "--units=mm", "--feed=600"};
  const auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), controller.begin(), controller.end());
    return more;
  };
  const struct {
    std::vector<std::string> arguments;
    const char* words;
  } rows[] = {
      {{"--shape=square"}, "unknown shape"},
      {{"--colour=red"}, "unknown option"},
      {{"part.din"}, "unknown option"},
      {{"--depth"}, "needs a value"},
      {{"--output="}, "needs a name"},
      {{"-o"}, "needs a value"},
      {{"--fill=yes"}, "unknown option"},
      {{"--width10"}, "unknown option"},
      {{"--dialect=fanuc"}, "--dialect takes din, linuxcnc or grbl"},
      {{"--dialect=linuxcnc", "--feed=600"}, "need --units=mm or --units=inch"},
      {{"--dialect=linuxcnc", "--units=mm"}, "need --feed=RATE"},
      {{"--dialect=grbl", "--units=cm", "--feed=1"}, "--units takes mm or inch"},
      {with({"--feed=abc"}), "--feed needs a number"},
      {with({"--feed="}), "--feed needs a number"},
      {with({"--feed=1e400"}), "--feed needs a number"},
      {with({"--feed=-5"}), "--feed must be above 0"},
      {with({"--feed=0"}), "--feed must be above 0"},
      {with({"--plunge-feed=0.0004"}), "--plunge-feed must be above 0"},
      {with({"--safe-z=-1"}), "--safe-z must be at or above"},
      {with({"--step-down=-1"}), "--step-down must be at least .001"},
      {with({"--spindle=0"}), "--spindle must be above 0"},
      {with({"--spindle=fast"}), "--spindle needs a number"},
      {with({"--direction=sideways"}), "--direction takes climb or conventional"},
      {with({"--side=above"}), "--side takes inside or outside"},
      {with({"--side=outside", "--fill"}), "a Fill pocket is always inside"},
      {{"--side=outside"}, "--side is for the linuxcnc and grbl dialects"},
      {with({"--stepover=0.5"}), "--stepover is a percentage of the tool's diameter from 1 to"},
      {with({"--stepover=101"}), "--stepover is a percentage"},
      {with({"--stepover=half"}), "--stepover needs a number"},
      {with({"--stepover=50", "--side=outside"}), "--stepover spaces the rings of a Fill"},
      {{"--fill", "--stepover=50"}, "--stepover is for the linuxcnc and grbl dialects"},
      {with({"--finish=-0.1"}), "--finish is the allowance left on the walls, at least 0"},
      {with({"--finish=0.5", "--width=5", "--height=8", "--tool-radius=2"}),
       "--finish leaves no room for the tool: the paths keep Tool Radius and allowance, 2.5,"},
      {with({"--finish=1", "--shape=circle", "--radius=3", "--tool-radius=2"}),
       "and the circle's radius is 3"},
      {with({"--finish=1.6", "--fill", "--tool-radius=1"}),
       "--finish leaves more than one pass along the wall can cut: a Fill may leave at most its "
       "ring spacing, 1.5, on the walls"},
      {with({"--entry=dive"}), "--entry takes plunge or ramp"},
      {with({"--tool-radius=2,5"}), "--tool-radius needs a number, not \"2,5\""},
      {with({"--depth=abc"}), "--depth needs a number, not \"abc\""},
      {with({"--tool-radius=1/8"}), "--tool-radius needs a number, not \"1/8\""},
      {with({"--shape=circle", "--width=8"}),
       "--width is not used by a circle: its size is --radius"},
      {with({"--radius=3"}), "--radius is not used by a rectangle: its size is --width and"},
      {with({"--entry=ramp", "--ramp-angle=0.4"}), "from 0.5 to 90 degrees, not 0.4"},
      {with({"--entry=ramp", "--ramp-angle=91"}), "--ramp-angle is the steepest descent"},
      {with({"--ramp-angle=10"}), "--ramp-angle is for --entry=ramp"},
      {{"--entry=ramp"}, "--entry is for the linuxcnc and grbl dialects"},
      {with({"--from=part.din", "--stepover=50"}), "--stepover shapes new paths; --from"},
      {with({"--from=part.din", "--side=outside", "--finish=1"}), "--side shapes new paths"},
      {{"--feed=600"}, "--feed is for the linuxcnc and grbl dialects"},
      {{"--dialect=din", "--step-down=1"}, "--step-down is for the linuxcnc and grbl dialects"},
      {with({"--from=part.din", "--width=5"}), "--from converts an existing program"},
      {with({"--from=part.din", "--preview=p.svg"}), "--from converts an existing program"},
      {with({"--from=part.din", "-o", "./part.din"}), "two different files"},
      {{"--from=part.din"}, "--from converts a program saved by the window into one for a"},
      {with({"--tabs=65"}), "--tabs is a count of holding tabs from 0 to 64, not 65"},
      {with({"--tabs=-1"}), "--tabs is a count of holding tabs"},
      {with({"--tabs=2.5"}), "--tabs is a count of holding tabs"},
      {with({"--tabs=4", "--tab-width=0"}), "--tab-width must be above 0"},
      {with({"--tabs=4", "--tab-height=-1"}), "--tab-height must be above 0"},
      {with({"--tabs=4", "--tab-height=2"}),
       "--tab-height must be less than the Depth's size, 2, not 2"},
      {with({"--tabs=4", "--fill"}), "--tabs hold a part that an outline cuts out"},
      {with({"--tab-width=3"}), "--tab-width is for --tabs"},
      {with({"--tabs=0", "--tab-height=1"}), "--tab-height is for --tabs"},
      {{"--tabs=4"}, "--tabs is for the linuxcnc and grbl dialects"},
      {with({"--from=part.din", "--tabs=2"}), "--tabs shapes new paths"},
      {with({"--shape=circle", "--radius=3", "--tool-radius=1", "--depth=-3", "--tabs=2"}),
       "--tabs leave too little of the outline to cut free: 2 tabs of 4, with the cutter's reach "
       "on either side, raise 9.522 of the outline path's 12.566, which leaves 3.044; at least "
       "half of it must be cut free; at most 1 tab of these sizes fits"},
      {with({"--shape=circle", "--radius=3", "--tool-radius=1", "--depth=-3", "--tabs=1",
             "--tab-width=6", "--tab-angle=30"}),
       "1 tab of 6 at the top and 9.464 at the base, with the cutter's reach on either side, "
       "raise 8.404 of the outline path's 12.566, which leaves 4.163; at least half of it must "
       "be cut free; no tab of these sizes fits"},
      {with({"--width=10", "--height=20", "--tool-radius=5.1", "--side=outside", "--tabs=1",
             "--tab-width=31"}),
       "1 tab of 31, with the cutter's reach on either side, raise 57.224 of the outline path's "
       "92.044"},
      {with({"--tabs=2", "--entry=ramp", "--tab-angle=90"}),
       "--tab-angle of 90 stands a tab's sides straight up, and a tool that ramps never goes "
       "straight down into the material"},
      {with({"--tabs=2", "--tab-angle=0.5"}),
       "--tab-angle is the slope of a tab's sides, from 1 to 90 degrees, not 0.5"},
      {with({"--tab-angle=45"}), "--tab-angle is for --tabs"},
      {with({"--spindle-delay=2"}),
       "--spindle-delay waits for the spindle to reach speed: give the spindle's speed too"},
      {with({"--spindle=9000", "--spindle-delay=0"}),
       "--spindle-delay is the seconds the spindle takes to reach speed, from .001 to 600"},
      {with({"--feed=1e12"}), "--feed must be at most 100000 (mm per minute), not 1e+12"},
      {{"--dialect=grbl", "--units=inch", "--feed=20", "--plunge-feed=5000"},
       "--plunge-feed must be at most 4000 (inches per minute), not 5000"},
      {with({"--spindle=1e9"}), "--spindle must be at most 100000 revolutions per minute, not 1e9"},
      {with({"--safe-z=1000000"}), "--safe-z must be at most 1000 (mm), not 1e+06"},
      {{"--estimate"}, "--estimate is for the linuxcnc and grbl dialects"},
      {with({"--estimate", "-o", "x.nc"}), "--estimate times the job and writes no program"},
      {with({"--max-rate-x=0"}), "--max-rate-x must be above 0, not 0"},
      {with({"--acceleration-z=-1"}), "--acceleration-z must be above 0, not -1"},
      {with({"--junction-deviation=-0.01"}), "--junction-deviation must be 0 or more"},
      {with({"--arc-tolerance=2000"}), "--arc-tolerance must be at most 1000 (mm), not 2000"},
      {{"--max-rate-y=300"}, "--max-rate-y is for the linuxcnc and grbl dialects"},
      {{"--shape=hole"}, "--shape=hole is for the linuxcnc and grbl dialects"},
      {{"--holes=3"}, "--holes is for the drilling patterns of the linuxcnc and grbl dialects"},
      {with({"--shape=hole", "--fill"}), "--fill clears a pocket; a hole has none"},
      {with({"--shape=face", "--side=outside"}), "--side is for outlines; a face has none"},
      {with({"--shape=face", "--peck=1"}),
       "--peck is for hole, bolt-circle and hole-grid, not face"},
      {with({"--shape=hole", "--step-down=1"}),
       "--step-down is for rectangle, circle, rounded-rectangle and face, not hole"},
      {with({"--shape=face", "--entry=ramp"}),
       "--entry is for rectangle, circle and rounded-rectangle, not face"},
      {with({"--shape=face", "--tabs=2"}), "--tabs is for rectangle, circle and rounded-rectangle"},
      {with({"--shape=hole", "--width=3"}),
       "--width is not used by a hole: it stands at --center-x and --center-y"},
      {with({"--shape=bolt-circle", "--width=3"}),
       "its size is --radius, --holes and --start-angle"},
      {with({"--holes=3"}), "--holes is not used by a rectangle: its size is --width and"},
      {with({"--shape=bolt-circle", "--start-angle=x"}), "--start-angle needs a number, not \"x\""},
      {with({"--shape=hole", "--peck=0"}), "--peck must be above 0 (at least .001), not 0"},
      {with({"--shape=hole", "--dwell=-1"}),
       "--dwell is the seconds to wait at the bottom of each hole, from 0 to 600, not -1"},
      {with({"--shape=hole", "--retract-z=0"}), "--retract-z must be above 0"},
      {with({"--shape=hole", "--retract-z=6"}),
       "--retract-z must not be above the clearance height, 5, not 6"},
      {with({"--shape=hole", "--chip-break"}),
       "--chip-break breaks the chip between pecks: give --peck too"},
      {with({"--shape=hole", "--peck=1", "--dwell=1"}),
       "--dwell waits at the bottom of a hole drilled in one feed"},
      {with({"--from=part.din", "--peck=1"}), "--peck shapes new paths; --from"},
  };
  for (const auto& row : rows) {
    const ProcessResult result = RunTool(row.arguments);
    EXPECT_EQ(result.exitStatus, 2) << row.words;
    EXPECT_EQ(result.standardOutput, "") << row.words;
    EXPECT_NE(result.standardError.find(row.words), std::string::npos) << result.standardError;
    EXPECT_NE(result.standardError.find("usage: quorrel-gcode"), std::string::npos) << row.words;
  }
}

// A machine of the machines file stands for its options; an option given beside it wins.
TEST(Cli, AMachineStandsForItsOptions) {
  const testing::ConfigurationFolder configuration;
  configuration.WriteMachines(testing::ConfigurationFolder::kTwoMachines);
  const std::vector<std::string> job{"--shape=circle", "--radius=20", "--tool-radius=3",
                                     "--depth=-6"};
  const auto run = [&](std::vector<std::string> options) {
    options.insert(options.begin(), job.begin(), job.end());
    return RunTool(options);
  };
  const std::vector<std::string> router{"--dialect=grbl",    "--units=mm",      "--feed=1000",
                                        "--plunge-feed=300", "--step-down=1.5", "--spindle=18000"};
  const struct {
    std::vector<std::string> withMachine, spelledOut;
  } rows[] = {
      {{"--machine=Router"}, router},
      {{"--machine", "Router", "--feed=500", "--side=outside"},
       {"--dialect=grbl", "--units=mm", "--feed=500", "--plunge-feed=300", "--step-down=1.5",
        "--spindle=18000", "--side=outside"}},
      {{"--machine=Router", "--dialect=linuxcnc", "--fill", "--stepover=50"},
       {"--dialect=linuxcnc", "--units=mm", "--feed=1000", "--plunge-feed=300", "--step-down=1.5",
        "--spindle=18000", "--fill", "--stepover=50"}},
      {{"--machine=Mill", "--units=mm", "--finish=0"},
       {"--dialect=linuxcnc", "--units=mm", "--feed=20", "--safe-z=0.25", "--entry=ramp",
        "--ramp-angle=5", "--finish=0"}},
  };
  for (const auto& row : rows) {
    const ProcessResult machine = run(row.withMachine);
    const ProcessResult spelledOut = run(row.spelledOut);
    EXPECT_EQ(machine.exitStatus, 0) << machine.standardError;
    EXPECT_EQ(machine.standardOutput, spelledOut.standardOutput) << row.withMachine[0];
    EXPECT_TRUE(machine.standardOutput.ends_with("M30\n"));
  }
}

// What is wrong with a machine, or the file of machines, is a usage error that names the file
// and the line or the setting, and nothing is written.
// A machine that cannot be used, or a job file with a mistake, is a usage error that names the
// file, the line and the key.
TEST(Cli, AMachineThatCannotBeUsedIsAUsageError) {
  const testing::ConfigurationFolder configuration;
  const std::string file = "the machines file \"" + configuration.MachinesFile() + "\"";
  const std::string router = "[[machine]]\nname = \"Router\"\ndialect = \"grbl\"\nunits = \"mm\"\n";
  const std::string jobFile = (configuration.Folder() / "plate.toml").string();
  const std::string job = "the job file \"" + jobFile + "\"";
  const std::string routerJob = "machine = \"Router\"\n\n[[operation]]\n";  // then line 4
  const struct {
    std::string machines;
    std::vector<std::string> arguments;
    std::string words;
    std::string jobText = {};  // a job file, given with --job where there is one
  } rows[] = {
      {"", {"--machine=Router"}, file + " has no machine named \"Router\" (it holds none)"},
      {router + "feed = 1000\n",
       {"--machine=Mill"},
       "no machine named \"Mill\" (it holds \"Router\")"},
      {router + "feed = -5\n",
       {"--machine=Router"},
       file + ", line 5: feed must be above 0 (at least .001), not -5"},
      {router + "feedrate = 1000\n",
       {"--machine=Router"},
       file + ", line 5: \"feedrate\" is no setting"},
      {router + "feed = 1000\nspindle = \"fast\"\n",
       {"--machine=Router"},
       "line 6: spindle needs a number, not \"fast\""},
      {router, {"--machine=Router"}, "machine \"Router\" needs a feed"},
      {router + "feed = [1000\n", {"--machine=Router"}, file + ", line 5"},
      {router + "feed = 1000\n" + router + "feed = 1\n",
       {"--machine=Router"},
       "the machines \"Router\" (line 2) and \"Router\" (line 7) have one name"},
      {router +
           "feed = 1000\n[[machine]]\nname = \" router \"\ndialect = \"grbl\"\nunits = \"mm\"\n"
           "feed = 1\n",
       {"--machine=Router"},
       "the machines \"Router\" (line 2) and \" router \" (line 7) have one name, as a person "
       "reads it"},
      {router + "feed = 1000\nspindle-speed = 9000\n",
       {"--machine=router"},
       file + ", line 6: \"spindle-speed\" is no setting"},
      {router + "feed = 1000\nspindle-delay = 2\n",
       {"--machine=Router"},
       "line 6: spindle-delay waits for the spindle to reach speed"},
      {router + "feed = 1e9\n",
       {"--machine=Router"},
       "line 5: feed must be at most 100000 (mm per minute), not 1e+09"},
      {router + "feed = 1000\n",
       {"--machine=Router", "--dialect=din"},
       "--machine drives a controller"},
      {router + "feed = 1000\n",
       {"--machine=Router", "--ramp-angle=4"},
       "--ramp-angle is for --entry=ramp"},
      {router + "feed = 1000\nfinish = 2\n",
       {"--machine=Router", "--width=5", "--tool-radius=1"},
       "the finish of the machine \"Router\" leaves no room for the tool"},
      {router + "feed = 1000\n", {}, job + ": it holds no operation", "machine = \"Router\"\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 1: machine \"Mill\" is not in the machines file",
       "machine = \"Mill\"\n[[operation]]\n"},
      {"", {}, job + ": it names no controller", "units = \"mm\"\nfeed = 600\n[[operation]]\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 2: \"holes\" is no setting of the job's machine; "
             "it belongs in an operation's table",
       "machine = \"Router\"\nholes = 4\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 4: peck is for hole, bolt-circle and hole-grid, "
             "not rectangle",
       routerJob + "peck = 2\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 5: \"colour\" is no key of an operation "
             "(operation 1)",
       routerJob + "shape = \"circle\"\ncolour = \"red\"\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 5: width is not used by a circle: its size is "
             "radius",
       routerJob + "shape = \"circle\"\nwidth = 8\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 4: units is the whole job's",
       routerJob + "units = \"inch\"\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 4: depth needs a number, not \"abc\"",
       routerJob + "depth = \"abc\"\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 4: tool is the cutter's number, a whole number",
       routerJob + "tool = 0\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 4: shape takes rectangle, circle",
       routerJob + "shape = \"star\"\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 4: feed must be above 0",
       routerJob + "feed = -5\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 5: fill clears a pocket; a hole has none",
       routerJob + "shape = \"hole\"\nfill = true\n"},
      {router + "feed = 1000\n",
       {},
       job + ", line 4: tab-width is for --tabs",
       routerJob + "tab-width = 3\n"},
      {router + "feed = 1000\n", {}, job + ", line 4:", routerJob + "depth = [1\n"},
      {router + "feed = 1000\n",
       {"--shape=circle"},
       "--job takes its operations",
       routerJob + "depth = -1\n"},
      {router + "feed = 1000\n", {"--feed=0"}, "--feed must be above 0", routerJob},
  };
  for (const auto& row : rows) {
    configuration.WriteMachines(row.machines);
    std::vector<std::string> arguments = row.arguments;
    if (!row.jobText.empty()) {
      configuration.Write("plate.toml", row.jobText);
      arguments.push_back("--job=" + jobFile);
    }
    const ProcessResult result = RunTool(arguments);
    EXPECT_EQ(result.exitStatus, 2) << row.words;
    EXPECT_EQ(result.standardOutput, "") << row.words;
    EXPECT_NE(result.standardError.find(row.words), std::string::npos) << result.standardError;
  }
  // One machine's mistake leaves the others usable.
  configuration.WriteMachines(router +
                              "feedrate = 1000\n\n[[machine]]\nname = \"Mill\"\n"
                              "dialect = \"linuxcnc\"\nunits = \"mm\"\nfeed = 300\n");
  const ProcessResult mill = RunTool({"--machine=Mill"});
  EXPECT_EQ(mill.exitStatus, 0) << mill.standardError;
  EXPECT_NE(mill.standardOutput.find("G1 Z-2 F300"), std::string::npos) << mill.standardOutput;
  std::filesystem::remove(configuration.MachinesFile());
  std::filesystem::create_directories(configuration.MachinesFile());
  EXPECT_NE(RunTool({"--machine=Router"}).standardError.find(file + ": cannot be read"),
            std::string::npos);
}

// A program saved by the window, converted for a controller, is byte for byte the program the
// tool writes for that controller from the same fields.
TEST_F(CliFiles, ConvertingASavedProgramEqualsGeneratingIt) {
  const std::vector<std::vector<std::string>> machines{
      {"--dialect=linuxcnc", "--units=mm", "--feed=600", "--spindle=12000"},
      {"--dialect=grbl", "--units=inch", "--feed=20", "--plunge-feed=8", "--step-down=0.7",
       "--safe-z=0.5", "--entry=ramp", "--ramp-angle=5", "--direction=conventional"},
  };
  // Each shape with the sizes it is made from.
  const std::vector<std::string> shapes[] = {
      {"--shape=rectangle", "--width=12.5"},
      {"--shape=circle", "--radius=3.25"},
      {"--shape=rounded-rectangle", "--width=12.5", "--radius=3.25"},
  };
  for (const std::vector<std::string>& sized : shapes) {
    const std::string& shape = sized[0];
    for (const bool fill : {false, true}) {
      std::vector<std::string> job = sized;
      job.insert(job.end(), {"--tool-radius=0.75", "-o", PathOf("saved.din")});
      if (fill) job.push_back("--fill");
      ASSERT_EQ(RunTool(job).exitStatus, 0);
      job.resize(job.size() - (fill ? 3 : 2));
      if (fill) job.push_back("--fill");
      for (const std::vector<std::string>& machine : machines) {
        SCOPED_TRACE(shape + (fill ? " --fill " : " ") + machine[0]);
        std::vector<std::string> generate = job;
        generate.insert(generate.end(), machine.begin(), machine.end());
        std::vector<std::string> convert = machine;
        convert.push_back("--from=" + PathOf("saved.din"));
        const ProcessResult generated = RunTool(generate);
        const ProcessResult converted = RunTool(convert);
        ASSERT_EQ(generated.exitStatus, 0) << generated.standardError;
        EXPECT_EQ(converted.exitStatus, 0) << converted.standardError;
        EXPECT_EQ(converted.standardOutput, generated.standardOutput);
        EXPECT_TRUE(generated.standardOutput.ends_with("M30\n"));
      }
    }
  }
  // What cannot be converted says why, and writes nothing.
  std::ofstream(PathOf("foreign.nc")) << "G0 X1\n";
  for (const std::string& from : {PathOf("missing.din"), PathOf("foreign.nc")}) {
    const ProcessResult result = RunTool(
        {"--dialect=grbl", "--units=mm", "--feed=100", "--from=" + from, "-o", PathOf("out.nc")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.standardError.find(from), std::string::npos) << result.standardError;
  }
  EXPECT_FALSE(std::filesystem::exists(PathOf("out.nc")));
}

// Nothing reaches a machine that Quorrel did not make: a saved program with a line it never
// writes is refused, with the line, and nothing is written.
TEST_F(CliFiles, ConvertsOnlyWhatQuorrelCouldHaveWritten) {
  for (const testing::HostileProgram& hostile : testing::HostilePrograms()) {
    SCOPED_TRACE(hostile.name);
    std::ofstream(PathOf("saved.din"), std::ios::binary) << hostile.program;
    const ProcessResult result =
        RunTool({"--dialect=grbl", "--units=mm", "--feed=600", "--from=" + PathOf("saved.din"),
                 "-o", PathOf("part.nc")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.standardError.find("line " + std::to_string(hostile.line)), std::string::npos)
        << result.standardError;
    EXPECT_NE(result.standardError.find("Nothing was written"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(PathOf("part.nc")));
  }
}

// A hole the size of the tool leaves no path to ramp along, and the tiny rings at the middle of
// a pocket for the finest tool none that a ramp may use: the program plunges there, and the
// machinist is told so once, however many passes there are.
TEST(Cli, SaysWhereARampBecomesAPlunge) {
  const std::vector<std::string> controller{"--dialect=linuxcnc", "--units=mm", "--feed=300",
                                            "--entry=ramp", "--step-down=0.5"};
  const struct {
    std::vector<std::string> job;
    const char* start;
  } rows[] = {
      {{"--shape=circle", "--radius=2", "--tool-radius=2"}, "X0 Y0"},
      {{"--fill", "--tool-radius=0.001", "--width=3", "--height=3"}, "X-.001 Y0"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> arguments = controller;
    arguments.insert(arguments.end(), row.job.begin(), row.job.end());
    const ProcessResult result = RunTool(arguments);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardError, "quorrel-gcode: The path that starts at " +
                                        std::string(row.start) +
                                        " is too short to ramp down at 3 degrees; the tool "
                                        "plunges there.\n");
    EXPECT_NE(result.standardOutput.find("\nG1 Z-.5 F300\n"), std::string::npos);
    EXPECT_NE(result.standardOutput.find("\nG1 Z-2"), std::string::npos);
  }
}

TEST(Cli, TakesFieldTextsExactlyAsGiven) {
  // A text that starts with "-" in the separate form, an empty text, and blanks only.
  const ProcessResult result =
      RunTool({"--depth", "-0.5", "--width=", "--height", "   ", "--center-x=-1e0"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardOutput,
            "N10 ( rectangle H x W    )\r\nN20 G0 X0 Y1 Z0\r\nN30 G1 Z-.5\r\nN40 G1 X-2\r\n"
            "N50 G1 Y-1\r\nN60 G1 X0\r\nN70 G1 Y1\r\nN80 G1 Z0\r\nN90  M30\r\n");
}

TEST(Cli, PrintsVersionAndHelp) {
  EXPECT_EQ(RunTool({"--version"}).standardOutput, "quorrel-gcode " + std::string(kVersion) + "\n");
  const ProcessResult help = RunTool({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  for (const char* word : {"--shape", "--fill", "--center-x", "--center-y", "--width", "--height",
                           "--radius", "--tool-radius", "--depth", "--output", "-o,", "--help",
                           "--version", "Exit status", "  3 "}) {
    EXPECT_NE(help.standardOutput.find(word), std::string::npos) << word;
  }
}

// The words of a text, as a reader sees them: roff's requests and fonts dropped, "\-" as "-".
std::vector<std::string> WordsOf(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with('.')) {
      const std::size_t macro = line.find(' ');
      if (!line.starts_with(".B") || macro == std::string::npos) continue;
      line = line.substr(macro + 1);  // .B and .BR carry text
    }
    for (const char* markup : {"\\fB", "\\fI", "\\fR", "\\-", "\"", ","}) {
      const std::string replacement = std::string(markup) == "\\-" ? "-" : " ";
      for (std::size_t at = line.find(markup); at != std::string::npos;
           at = line.find(markup, at)) {
        line.replace(at, std::strlen(markup), replacement);
      }
    }
    std::istringstream split(line);
    for (std::string word; split >> word;) words.push_back(word);
  }
  return words;
}

bool ContainsRun(const std::vector<std::string>& words, const std::vector<std::string>& run) {
  return std::search(words.begin(), words.end(), run.begin(), run.end()) != words.end();
}

// --help and the manual page say the same: every option's description and every exit status
// reads word for word in both.
TEST(Cli, HelpSpeaksTheWordsOfTheManualPage) {
  const std::vector<std::string> manual =
      WordsOf(ReadFileBytes(std::string(QUORREL_SOURCE_DIR) + "/data/quorrel-gcode.1.in"));
  ASSERT_GT(manual.size(), 100U);
  std::istringstream help(RunTool({"--help"}).standardOutput);
  int described = 0;
  for (std::string line; std::getline(help, line);) {
    // An option or exit status line: its description follows a run of two or more blanks.
    const std::size_t gap = line.find("  ", 2);
    if (!line.starts_with("  ") || gap == std::string::npos) continue;
    const std::vector<std::string> description = WordsOf(line.substr(gap));
    EXPECT_TRUE(ContainsRun(manual, description)) << line;
    ++described;
  }
  EXPECT_EQ(described, 91);  // every option line and exit status of --help

  // The synopsis names every option --help describes.
  const std::string page =
      ReadFileBytes(std::string(QUORREL_SOURCE_DIR) + "/data/quorrel-gcode.1.in");
  const std::vector<std::string> synopsis =
      WordsOf(page.substr(page.find(".SH SYNOPSIS"), page.find(".SH DESCRIPTION")));
  std::istringstream options(RunTool({"--help"}).standardOutput);
  for (std::string word; options >> word;) {
    if (!word.starts_with("--")) continue;
    const std::string option =
        word.substr(0, word.find_first_not_of("-abcdefghijklmnopqrstuvwxyz"));
    EXPECT_TRUE(std::any_of(synopsis.begin(), synopsis.end(), [&](const std::string& used) {
      return used.find(option + "=") != std::string::npos || used == option ||
             used.find("[" + option) != std::string::npos;
    })) << option;
  }
}

// Hostile texts in every field, for every shape with and without Fill: each run ends with a
// clear message or a program that reads back whole; never a crash, never a usage error.
TEST(Cli, HostileFieldTextsEndInAMessageOrAProgram) {
  std::string junk;
  std::mt19937 random(7);
  for (int i = 0; i < 300; ++i) junk += static_cast<char>(1 + random() % 255);
  const std::string texts[] = {
      "",
      "   ",
      std::string(100000, '9'),
      "1e400",
      "-1e400",
      "1e39",
      "&HFFFFFFFF",
      junk,
      "\xff\xfe\xc3(\x80",
      ")\n( M3 S30000\r\n",
      "-1e39",
  };
  const char* fields[] = {"--center-x=", "--center-y=",    "--width=", "--height=",
                          "--radius=",   "--tool-radius=", "--depth="};
  int programs = 0;
  int messages = 0;
  for (const char* shape : {"--shape=rectangle", "--shape=circle", "--shape=rounded-rectangle"}) {
    for (const bool fill : {false, true}) {
      for (const char* field : fields) {
        for (const std::string& text : texts) {
          std::vector<std::string> arguments{shape, std::string(field) + text};
          if (fill) arguments.push_back("--fill");
          const ProcessResult result = RunTool(arguments);
          const std::string what = std::string(shape) + " " + field + text.substr(0, 20);
          ASSERT_TRUE(result.exitStatus == 0 || result.exitStatus == 1) << what;
          if (result.exitStatus == 0) {
            EXPECT_TRUE(ReadProgram(result.standardOutput).ended) << what;
            ++programs;
          } else {
            EXPECT_TRUE(result.standardError.starts_with("quorrel-gcode: ")) << what;
            EXPECT_TRUE(result.standardOutput.empty() || result.standardOutput.ends_with("\r\n"));
            ++messages;
          }
        }
      }
    }
  }
  EXPECT_GT(programs, 0);
  EXPECT_GT(messages, 0);
}

// The group of the drawing that starts with `start`, up to its end, or nothing.
std::string GroupOf(const std::string& svg, const std::string& start) {
  const std::size_t at = svg.find(start);
  return at == std::string::npos ? "" : svg.substr(at, svg.find("</g>", at) - at);
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

// The drawing shows every move of the program as read back: one line segment per straight cut
// at depth, one true arc per arc, the contour, the swept area and a legend.
TEST_F(CliFiles, PreviewDrawsEveryMoveOfTheProgram) {
  for (const char* shape : {"--shape=rectangle", "--shape=circle", "--shape=rounded-rectangle"}) {
    for (const bool fill : {false, true}) {
      std::vector<std::string> arguments{shape, "--output=" + PathOf("p.din"),
                                         "--preview=" + PathOf("p.svg"), "--center-x=3"};
      if (fill) arguments.push_back("--fill");
      const ProcessResult result = RunTool(arguments);
      ASSERT_EQ(result.exitStatus, 0) << result.standardError;
      const ReadBackProgram program = ReadProgram(ReadFileBytes(PathOf("p.din")));
      std::size_t arcs = 0;
      std::size_t cuts = 0;
      for (std::size_t i = 2; i + 1 < program.moves.size(); ++i) {
        (program.moves[i].kind == MoveKind::ArcCounterClockwise ? arcs : cuts) += 1;
      }
      const std::string svg = ReadFileBytes(PathOf("p.svg"));
      const std::string cutPath = GroupOf(svg, "<g id=\"cuts\"");
      SCOPED_TRACE(std::string(shape) + (fill ? " --fill" : ""));
      EXPECT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "));
      EXPECT_TRUE(svg.ends_with("</svg>\n"));
      EXPECT_EQ(Count(cutPath, " A"), arcs);
      EXPECT_EQ(Count(cutPath, " L"), cuts);
      EXPECT_EQ(Count(svg, "id=\"contour\""), 1U);
      EXPECT_EQ(Count(svg, "id=\"swept\""), 1U);
      EXPECT_EQ(Count(svg, "id=\"origin\""), 1U);
      EXPECT_EQ(Count(svg, "href"), 0U);  // nothing outside the file
      EXPECT_NE(svg.find("tool radius 1<"), std::string::npos);
      EXPECT_NE(svg.find("depth -2<"), std::string::npos);
      EXPECT_NE(svg.find(fill ? "Fill: pocket cleared in rings" : ">outline<"), std::string::npos);
      EXPECT_EQ(svg.find("The cutter leaves the contour."), std::string::npos);
    }
  }
  // A tool too large for the shape: the drawing says so and shows where the cutter leaves it.
  ASSERT_EQ(RunTool({"--tool-radius=6", "-o", PathOf("big.din"), "--preview=" + PathOf("big.svg")})
                .exitStatus,
            0);
  const std::string big = ReadFileBytes(PathOf("big.svg"));
  EXPECT_NE(big.find("The cutter leaves the contour."), std::string::npos);
  EXPECT_EQ(Count(big, "id=\"swept-outside\""), 1U);
  // A job a kilometre wide is drawn at a scale far below a pixel, and the legend says so.
  ASSERT_EQ(RunTool({"--width=1011111", "-o", PathOf("wide.din"), "--preview=" + PathOf("w.svg")})
                .exitStatus,
            0);
  EXPECT_NE(ReadFileBytes(PathOf("w.svg")).find(">1 unit = 0.000593 px;"), std::string::npos);
  // An outside profile belongs outside: the warning is for a cutter that enters the shape.
  ASSERT_EQ(RunTool({"--side=outside", "--dialect=grbl", "--units=mm", "--feed=500", "-o",
                     PathOf("disc.nc"), "--preview=" + PathOf("disc.svg")})
                .exitStatus,
            0);
  const std::string disc = ReadFileBytes(PathOf("disc.svg"));
  EXPECT_NE(disc.find("outline, cut from outside"), std::string::npos);
  EXPECT_EQ(disc.find("The cutter"), std::string::npos);
  EXPECT_EQ(Count(disc, "id=\"swept-inside\""), 1U);
  // Holding tabs are marked on the contour, and the legend names them; the way over them is no
  // pass and no closed path of its own.
  ASSERT_EQ(RunTool({"--side=outside", "--dialect=grbl", "--units=mm", "--feed=500", "--width=60",
                     "--height=40", "--tool-radius=1.5", "--depth=-6", "--step-down=2", "--tabs=4",
                     "-o", PathOf("plate.nc"), "--preview=" + PathOf("plate.svg")})
                .exitStatus,
            0);
  const std::string plate = ReadFileBytes(PathOf("plate.svg"));
  EXPECT_EQ(Count(GroupOf(plate, "<g id=\"tabs\""), "<path d="), 4U);
  EXPECT_NE(plate.find(">holding tabs 4, width 6, height 2<"), std::string::npos);
  EXPECT_NE(plate.find(">passes 3<"), std::string::npos);
  EXPECT_NE(plate.find(">closed paths (rings) 3<"), std::string::npos);
  EXPECT_EQ(plate.find("tab-slopes"), std::string::npos);  // upright sides have none to draw
  // With a ramp, the tabs' sloping sides are drawn beside their tops, and the legend gives them.
  ASSERT_EQ(
      RunTool({"--side=outside", "--dialect=grbl", "--units=mm", "--feed=500", "--width=60",
               "--height=40", "--tool-radius=1.5", "--depth=-6", "--step-down=2", "--tabs=4",
               "--entry=ramp", "-o", PathOf("ramped.nc"), "--preview=" + PathOf("ramped.svg")})
          .exitStatus,
      0);
  const std::string ramped = ReadFileBytes(PathOf("ramped.svg"));
  EXPECT_EQ(Count(GroupOf(ramped, "<g id=\"tab-slopes\""), "<path d="), 4U);
  EXPECT_NE(ramped.find(">holding tabs 4, width 6, height 2, sides at 45 degrees<"),
            std::string::npos);
}

TEST_F(CliFiles, PreviewGoesWhereItIsAsked) {
  const std::string program = PathOf("pocket.din");
  // To standard output, while the program goes to its file.
  const ProcessResult toStdout =
      RunTool({"--shape=circle", "--fill", "-o", program, "--preview=-"});
  EXPECT_EQ(toStdout.exitStatus, 0);
  EXPECT_TRUE(toStdout.standardOutput.starts_with("<?xml"));
  EXPECT_TRUE(ReadProgram(ReadFileBytes(program)).ended);

  // Beside a program on standard output.
  const ProcessResult beside = RunTool({"--preview=" + PathOf("beside.svg")});
  EXPECT_EQ(beside.exitStatus, 0);
  EXPECT_TRUE(ReadProgram(beside.standardOutput).ended);
  EXPECT_TRUE(ReadFileBytes(PathOf("beside.svg")).ends_with("</svg>\n"));

  // Of an existing program: the program is read, not written; a tool radius shades the cut.
  const ProcessResult existing =
      RunTool({"--preview-of=" + program, "--preview=" + PathOf("of.svg"), "--tool-radius=0.5"});
  EXPECT_EQ(existing.exitStatus, 0) << existing.standardError;
  EXPECT_EQ(existing.standardOutput, "");
  const std::string drawing = ReadFileBytes(PathOf("of.svg"));
  EXPECT_NE(drawing.find("id=\"swept\""), std::string::npos);
  EXPECT_EQ(drawing.find("id=\"contour\""), std::string::npos);  // the job is not known
  EXPECT_NE(drawing.find("<title>Circle R2</title>"), std::string::npos);
}

TEST_F(CliFiles, PreviewFailuresAreReported) {
  std::ofstream(PathOf("not-a-program.din")) << "G0 X1\n";
  std::ofstream(PathOf("empty.din"));
  std::ofstream(PathOf("unfinished.din")) << "N10 ( Circle R2 )\r\nN10 G0 X0 Y0 Z0\r\n";
  ASSERT_EQ(RunTool({"-o", PathOf("p.din")}).exitStatus, 0);
  std::filesystem::create_symlink(PathOf("p.din"), PathOf("link.din"));
  EnterFolder();
  const struct {
    std::vector<std::string> arguments;
    int exitStatus;
    const char* words;
  } rows[] = {
      {{"--preview=-"}, 2, "needs the program in a file"},
      {{"--preview-of=" + PathOf("x.din")}, 2, "needs --preview"},
      {{"--preview-of=a.din", "--preview=b.svg", "-o", "c.din"}, 2, "drop --output"},
      {{"-o", PathOf("same"), "--preview=" + PathOf("same")}, 2, "two different files"},
      {{"--preview-of=" + PathOf("missing.din"), "--preview=" + PathOf("m.svg")},
       1,
       "cannot be read"},
      {{"--preview-of=" + PathOf("not-a-program.din"), "--preview=" + PathOf("n.svg")},
       1,
       "not one Quorrel writes"},
      {{"--preview=" + PathOf("missing/p.svg"), "-o", PathOf("p.din")},
       3,
       "cannot be written: No such file or directory. The program itself was written whole to "
       "the file"},
      {{"--preview-of=" + folder_.string(), "--preview=x.svg"}, 1, "Is a directory"},
      {{"--preview-of=empty.din", "--preview=x.svg"}, 1, "\"empty.din\" is empty"},
      {{"--preview-of=unfinished.din", "--preview=x.svg"}, 1, "has no M30 end line"},
      {{"-o", "./same.din", "--preview=same.din"}, 2, "two different files"},
      {{"-o", "same.din", "--preview=" + PathOf("same.din")}, 2, "two different files"},
      {{"--preview-of=link.din", "--preview=p.din"}, 2, "two different files"},
      {{"--preview-of=p.din", "--preview=" + PathOf("link.din")}, 2, "two different files"},
  };
  for (const auto& row : rows) {
    const ProcessResult result = RunTool(row.arguments);
    EXPECT_EQ(result.exitStatus, row.exitStatus) << row.words;
    EXPECT_NE(result.standardError.find(row.words), std::string::npos) << result.standardError;
  }
  // Nothing was drawn, nothing was written over the program.
  EXPECT_FALSE(std::filesystem::exists(PathOf("x.svg")));
  EXPECT_FALSE(std::filesystem::exists(PathOf("same.din")));
  EXPECT_TRUE(ReadProgram(ReadFileBytes(PathOf("p.din"))).ended);
  // A drawing of an existing program reads only the field it uses.
  EXPECT_EQ(RunTool({"--preview-of=p.din", "--preview=x.svg", "--tool-radius=1", "--width=1e400"})
                .exitStatus,
            0);
}

// The locale chooses only the decimal separator of the rounded corners' radius in the title.
// --estimate prints one line and writes no program; the preview's legend says the same time, and
// the cut length with its unit. A faster machine takes less time.
TEST_F(CliFiles, EstimatesTheRunTimeInOneLine) {
  const std::vector<std::string> job{"--shape=circle",   "--radius=10",     "--tool-radius=1.5",
                                     "--depth=-3",       "--step-down=1.5", "--dialect=linuxcnc",
                                     "--units=mm",       "--feed=600",      "--spindle=12000",
                                     "--spindle-delay=2"};
  std::vector<std::string> estimate = job;
  estimate.push_back("--estimate");
  const ProcessResult result = RunTool(estimate);
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  const std::regex line(
      R"(run time: (\d+\.\d) s \(0 h 0 min (\d+\.\d) s; cutting \d+\.\d %, rapid \d+\.\d %, )"
      R"(dwell \d+\.\d %\)\n)");
  std::smatch parts;
  ASSERT_TRUE(std::regex_match(result.standardOutput, parts, line)) << result.standardOutput;
  EXPECT_EQ(parts[1], parts[2]);

  std::vector<std::string> faster = estimate;
  faster.insert(faster.end(), {"--acceleration-x=100", "--acceleration-y=100",
                               "--acceleration-z=100", "--max-rate-x=5000", "--max-rate-y=5000"});
  const ProcessResult quicker = RunTool(faster);
  EXPECT_LT(std::stod(quicker.standardOutput.substr(10)), std::stod(parts[1]));

  std::vector<std::string> drawn = job;
  drawn.insert(drawn.end(), {"-o", PathOf("disc.ngc"), "--preview=" + PathOf("disc.svg")});
  ASSERT_EQ(RunTool(drawn).exitStatus, 0);
  const std::string svg = ReadFileBytes(PathOf("disc.svg"));
  EXPECT_NE(svg.find("run time 0 h 0 min " + std::string(parts[2]) + " s<"), std::string::npos);
  EXPECT_NE(svg.find(" mm<"), std::string::npos) << "the cut length's unit";

  // A job's run time totals its operations, and its drawing gives each tool a colour.
  const std::string jobFile = "--job=" + testing::TestDataPath("jobs/pocket_and_holes.toml");
  const ProcessResult timed = RunTool({jobFile, "--dialect=grbl", "--estimate"});
  ASSERT_EQ(timed.exitStatus, 0) << timed.standardError;
  EXPECT_TRUE(std::regex_search(timed.standardOutput, std::regex(R"(^run time: \d+\.\d s )")));
  ASSERT_EQ(RunTool({jobFile, "--dialect=grbl", "-o", PathOf("plate.nc"),
                     "--preview=" + PathOf("plate.svg")})
                .exitStatus,
            0);
  const std::string drawing = ReadFileBytes(PathOf("plate.svg"));
  for (const char* part :
       {"cuts-tool-1", "holes-tool-2", "job pocket_and_holes.toml: ", ">run time 0 h "}) {
    EXPECT_NE(drawing.find(part), std::string::npos) << part;
  }
}

TEST(Cli, LocaleChangesOnlyTheTitleRadius) {
  const std::string locales = std::string(QUORREL_TEST_LOCALES);
  ASSERT_TRUE(std::filesystem::exists(locales + "/de_DE.UTF-8/LC_NUMERIC"))
      << "no German locale was built (is the locales package installed?)";
  const std::vector<std::string> job{"--shape=rounded-rectangle", "--radius=0.5", "--fill",
                                     "--tool-radius=0.25", "--width=12.5"};
  const ProcessResult plain = RunTool(job);
  const ProcessResult german = RunTool(job, {{"LOCPATH", locales}, {"LC_ALL", "de_DE.UTF-8"}});
  ASSERT_EQ(german.exitStatus, 0) << german.standardError;
  std::string expected = plain.standardOutput;
  expected.replace(expected.find("R=0.5"), 5, "R=0,5");
  EXPECT_EQ(german.standardOutput, expected);
  EXPECT_NE(german.standardOutput.find("X-5.75"), std::string::npos);  // coordinates keep "."
}

}  // namespace
}  // namespace quorrel
