#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gcode/save_command.h"
#include "tests/support/golden_cases.h"

namespace quorrel {
namespace {

class SaveCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("quorrel-save-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  // Saves with a dialog that answers `path`, remembering what it was shown.
  SaveResult Save(const SaveRequest& request, const std::string& path) {
    askedCount_ = 0;
    return SaveGCode(request, [&](std::string_view filter, std::string_view proposed) {
      ++askedCount_;
      shownFilter_ = filter;
      shownName_ = proposed;
      return path;
    });
  }

  std::filesystem::path folder_;
  int askedCount_ = 0;
  std::string shownFilter_;
  std::string shownName_;
};

const char* const kDefaultRectangle =
    "N10 ( rectangle H10 x W10 )\r\nN20 G0 X-4 Y-4 Z0\r\nN30 G1 Z-2\r\nN40 G1 X4\r\n"
    "N50 G1 Y4\r\nN60 G1 X-4\r\nN70 G1 Y-4\r\nN80 G1 Z0\r\nN90  M30\r\n";

TEST_F(SaveCommandTest, WritesTheProgramToTheChosenFile) {
  const SaveResult result = Save({}, PathOf("File1.din"));
  EXPECT_EQ(result.outcome, SaveOutcome::Written);
  EXPECT_EQ(result.message, "");
  EXPECT_EQ(shownFilter_, "Din ( G-Code ) (*.din)|*.din");
  EXPECT_EQ(shownName_, "File1.din");
  EXPECT_EQ(testing::ReadFileBytes(PathOf("File1.din")), kDefaultRectangle);
}

TEST_F(SaveCommandTest, ReplacesAnExistingFileAndKeepsANameWithoutExtension) {
  SaveRequest circle;
  circle.shape = ShapeKind::Circle;
  circle.fill = true;
  ASSERT_EQ(Save(circle, PathOf("part")).outcome, SaveOutcome::Written);
  ASSERT_EQ(Save({}, PathOf("part")).outcome, SaveOutcome::Written);
  EXPECT_EQ(testing::ReadFileBytes(PathOf("part")), kDefaultRectangle);
  EXPECT_FALSE(std::filesystem::exists(PathOf("part.din")));
}

TEST_F(SaveCommandTest, CancelLeavesAnExistingFileUntouched) {
  std::ofstream(PathOf("File1.din")) << "keep me";
  const SaveResult result = Save({}, "");
  EXPECT_EQ(result.outcome, SaveOutcome::Cancelled);
  EXPECT_EQ(result.message, "");
  EXPECT_EQ(testing::ReadFileBytes(PathOf("File1.din")), "keep me");
}

TEST_F(SaveCommandTest, AnArithmeticFaultKeepsTheLinesBeforeIt) {
  SaveRequest request;
  request.fill = true;
  request.texts.ToolRadiusText = "0";
  const SaveResult result = Save(request, PathOf("File1.din"));
  EXPECT_EQ(result.outcome, SaveOutcome::ArithmeticFault);
  EXPECT_NE(result.message.find("Division by zero"), std::string::npos) << result.message;
  EXPECT_NE(result.message.find(PathOf("File1.din")), std::string::npos) << result.message;
  EXPECT_EQ(testing::ReadFileBytes(PathOf("File1.din")), "N10 ( rectangle H10 x W10 )\r\n");

  request.texts.ToolRadiusText = "0.001";
  request.texts.WidthText = request.texts.HeightText = "100";
  EXPECT_NE(Save(request, PathOf("File1.din")).message.find("Ring count overflow"),
            std::string::npos);
}

TEST_F(SaveCommandTest, RefusesOrRejectsABadJobBeforeAskingForAPath) {
  SaveRequest negativeTool;
  negativeTool.fill = true;
  negativeTool.texts.ToolRadiusText = "-1";
  SaveRequest hugeWidth;
  hugeWidth.texts.WidthText = "1e400";
  SaveRequest hugeTool;
  hugeTool.texts.ToolRadiusText = "1e39";

  const struct {
    SaveRequest request;
    SaveOutcome outcome;
    const char* words;
  } rows[] = {
      {negativeTool, SaveOutcome::Refused, "Tool Radius"},
      {hugeWidth, SaveOutcome::ArithmeticFault, "Width"},
      {hugeTool, SaveOutcome::ArithmeticFault, "Tool Radius"},
  };
  for (const auto& row : rows) {
    const SaveResult result = Save(row.request, PathOf("File1.din"));
    EXPECT_EQ(result.outcome, row.outcome);
    EXPECT_NE(result.message.find(row.words), std::string::npos) << result.message;
    EXPECT_EQ(askedCount_, 0);
  }
  EXPECT_FALSE(std::filesystem::exists(PathOf("File1.din")));
}

TEST_F(SaveCommandTest, TakesAMegabyteOfTextInAField) {
  SaveRequest request;
  request.texts.WidthText = std::string(1 << 20, '7');
  const SaveResult tooLarge = Save(request, PathOf("File1.din"));
  EXPECT_EQ(tooLarge.outcome, SaveOutcome::ArithmeticFault);
  EXPECT_NE(tooLarge.message.find("Width"), std::string::npos);

  request.texts.WidthText = "1" + std::string(1 << 20, '0') + "e-1048570";  // 1e6, written long
  EXPECT_EQ(Save(request, PathOf("File1.din")).outcome, SaveOutcome::Written);
  const std::string program = testing::ReadFileBytes(PathOf("File1.din"));
  EXPECT_EQ(program.substr(0, program.find("\r\n")),
            "N10 ( rectangle H" + request.texts.WidthText + " x W10 )");
  EXPECT_NE(program.find("N40 G1 X499999\r\n"), std::string::npos);
}

TEST_F(SaveCommandTest, ReportsAFileThatCannotBeWritten) {
  for (const std::string& path :
       {PathOf("missing/File1.din"), folder_.string(), std::string("/dev/full")}) {
    const SaveResult result = Save({}, path);
    EXPECT_EQ(result.outcome, SaveOutcome::CannotWrite) << path;
    EXPECT_NE(result.message.find("\"" + path + "\" cannot be written"), std::string::npos)
        << result.message;
  }
}

}  // namespace
}  // namespace quorrel
