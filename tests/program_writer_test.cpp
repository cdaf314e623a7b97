#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "gcode/job/job_parameters.h"
#include "gcode/output/byte_sink.h"
#include "gcode/output/output_error.h"
#include "gcode/output/program_destination.h"
#include "gcode/program/program_writer.h"
#include "tests/support/golden_cases.h"
#include "tests/support/raised.h"
#include "tests/support/temporary_folder.h"

namespace quorrel {
namespace {

ProgramWriter MemoryWriter(std::string& bytes) {
  return ProgramWriter(std::make_unique<StringSink>(bytes));
}

TEST(ProgramWriter, GluesPiecesAndEndsLinesWithCrLf) {
  std::string bytes;
  ProgramWriter writer = MemoryWriter(bytes);
  writer.WriteLine(ProgramLine{"N20 G0 X", -4.5, " Y", 0.25, " Z", ZeroHeight});
  writer.WriteLine(ProgramLine{"N30 G1 Z", Float32(-0.2F)});
  writer.WriteLine(ProgramLine{"N90  M30"});
  writer.Close();
  EXPECT_EQ(bytes, "N20 G0 X-4.5 Y.25 Z0\r\nN30 G1 Z-.2\r\nN90  M30\r\n");
}

TEST(ProgramWriter, CopiesTextsLongerThanItsBuffer) {
  const std::string width(3 * 1024 * 1024 + 17, '7');
  std::string bytes;
  ProgramWriter writer = MemoryWriter(bytes);
  for (int line = 0; line < 50000; ++line) writer.WriteLine(ProgramLine{"N40 G1 X", 1.5});
  writer.WriteLine(ProgramLine{"N10 ( ", std::string_view(width), " )"});
  writer.Close();
  EXPECT_EQ(bytes.size(), 50000 * std::string("N40 G1 X1.5\r\n").size() + width.size() + 10);
  EXPECT_TRUE(bytes.ends_with(std::string(100, '7') + " )\r\n"));
}

TEST(ProgramWriter, HoldsNothingBackUntilClosed) {
  std::string bytes;
  ProgramWriter writer = MemoryWriter(bytes);
  writer.WriteLine(ProgramLine{"N80 G1 Z", ZeroHeight});
  EXPECT_EQ(bytes, "");  // buffered
  writer.Close();
  writer.Close();  // a second close does nothing
  EXPECT_EQ(bytes, "N80 G1 Z0\r\n");
}

using FileSinkTest = testing::TemporaryFolder;

// Writes run into a file-size limit as they would into a full disk: with EFBIG instead of ENOSPC,
// through the same system calls, on the same file system as the file being replaced.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);  // report the failed write instead of ending the process
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, SIG_DFL);
  }

 private:
  rlimit saved_{};
};

TEST_F(FileSinkTest, ReplacesTheFileWithTheCompleteProgram) {
  const std::string path = PathOf("part.din");
  std::ofstream(path) << "an older and much longer program\r\n";
  ProgramWriter writer = ProgramWriter::Open(path);
  writer.WriteLine(ProgramLine{"N70 M30"});
  EXPECT_EQ(testing::ReadFileBytes(path), "an older and much longer program\r\n");
  writer.Close();
  EXPECT_EQ(testing::ReadFileBytes(path), "N70 M30\r\n");
  EXPECT_EQ(Names(), std::vector<std::string>{"part.din"});
}

TEST_F(FileSinkTest, KeepsPermissionsAndSymbolicLinks) {
  const std::string target = PathOf("program.din");
  std::ofstream(target) << "old";
  std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::others_read);
  std::filesystem::create_symlink("program.din", PathOf("link.din"));
  ProgramWriter writer = ProgramWriter::Open(PathOf("link.din"));
  writer.WriteLine(ProgramLine{"N70 M30"});
  writer.Close();
  EXPECT_TRUE(std::filesystem::is_symlink(PathOf("link.din")));
  EXPECT_EQ(testing::ReadFileBytes(target), "N70 M30\r\n");
  EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::others_read);
}

TEST_F(FileSinkTest, AnAbandonedOrFailedProgramLeavesTheFileAsItWas) {
  const std::string path = PathOf("part.din");
  std::ofstream(path) << "a good program";
  {
    ProgramWriter abandoned = ProgramWriter::Open(path);
    abandoned.WriteLine(ProgramLine{"N10 ( rectangle H10 x W10 )"});
  }
  {
    ProgramWriter filling = ProgramWriter::Open(path);
    const FileSizeLimit fullDisk(100000);
    EXPECT_THROW(
        {
          for (int line = 0; line < 100000; ++line) filling.WriteLine(ProgramLine{"N40 G1 X", 1.5});
          filling.Close();
        },
        OutputError);
  }
  EXPECT_EQ(testing::ReadFileBytes(path), "a good program");
  EXPECT_EQ(Names(), std::vector<std::string>{"part.din"});
}

TEST_F(FileSinkTest, NamesTheFileThatCannotBeOpened) {
  for (const std::string& path :
       {PathOf("missing/File1.din"), folder_.string(), PathOf(std::string("a\0b", 3))}) {
    SCOPED_TRACE(path);
    if (auto error = testing::Raised<OutputError>([&] { ProgramWriter::Open(path); })) {
      EXPECT_EQ(error->destination(), path);
      EXPECT_TRUE(error->unchanged());
      EXPECT_NE(std::string(error->what()).find("cannot be written"), std::string::npos);
    }
  }
  EXPECT_FALSE(std::filesystem::exists(PathOf("a")));
}

TEST(FileSink, ReportsAFullDeviceWhenClosed) {
  ProgramWriter writer = ProgramWriter::Open("/dev/full");
  writer.WriteLine(ProgramLine{"N70 M30"});
  EXPECT_THROW(writer.Close(), OutputError);
}

}  // namespace
}  // namespace quorrel
