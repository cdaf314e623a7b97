#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gcode/byte_sink.h"
#include "gcode/output_error.h"
#include "gcode/program_writer.h"
#include "tests/support/golden_cases.h"

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

TEST(ProgramWriter, CommentTextCannotEndTheCommentOrTheLine) {
  std::string bytes;
  ProgramWriter writer = MemoryWriter(bytes);
  writer.WriteLine(ProgramLine{"N10 ( ", CommentText{"10)\r\n(M3 S9000"}, " )"});
  writer.WriteLine(ProgramLine{"N10 ( ", CommentText{"10mm \xc3\xa9 2.000"}, " )"});
  writer.Close();
  EXPECT_EQ(bytes, "N10 ( 10    M3 S9000 )\r\nN10 ( 10mm \xc3\xa9 2.000 )\r\n");
}

TEST(ProgramWriter, CopiesTextsLongerThanItsBuffer) {
  const std::string width(3 * 1024 * 1024 + 17, '7');
  std::string bytes;
  ProgramWriter writer = MemoryWriter(bytes);
  for (int line = 0; line < 50000; ++line) writer.WriteLine(ProgramLine{"N40 G1 X", 1.5});
  writer.WriteLine(ProgramLine{"N10 ( ", CommentText{width}, " )"});
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

class FileSinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() /
        ("quorrel-writer-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  std::filesystem::path folder_;
};

TEST_F(FileSinkTest, CreatesOrEmptiesTheFile) {
  const std::string path = PathOf("part.din");
  std::ofstream(path) << "an older and much longer program\r\n";
  ProgramWriter writer = ProgramWriter::Open(path);
  writer.WriteLine(ProgramLine{"N70 M30"});
  writer.Close();
  EXPECT_EQ(testing::ReadFileBytes(path), "N70 M30\r\n");
}

TEST_F(FileSinkTest, NamesTheFileThatCannotBeOpened) {
  for (const std::string& path :
       {PathOf("missing/File1.din"), folder_.string(), PathOf(std::string("a\0b", 3))}) {
    try {
      ProgramWriter::Open(path);
      ADD_FAILURE() << path << " opened";
    } catch (const OutputError& error) {
      EXPECT_EQ(error.destination(), path);
      EXPECT_NE(std::string(error.what()).find("cannot be written"), std::string::npos);
    }
  }
  EXPECT_FALSE(std::filesystem::exists(PathOf("a")));
}

TEST(FileSink, ReportsAFullDiskWhenClosed) {
  ProgramWriter writer = ProgramWriter::Open("/dev/full");
  writer.WriteLine(ProgramLine{"N70 M30"});
  EXPECT_THROW(writer.Close(), OutputError);
}

}  // namespace
}  // namespace quorrel
