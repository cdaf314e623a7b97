#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gcode/save/save_command.h"
#include "tests/support/golden_cases.h"
#include "tests/support/temporary_folder.h"

namespace quorrel {
namespace {

class SaveCommandTest : public testing::TemporaryFolder {
 protected:
  // Saves with a dialog that answers `path`, remembering what it was shown.
  SaveResult Save(const SaveRequest& request, const std::string& path) {
    askedCount_ = 0;
    return SaveGCode(request, [&] {
      ++askedCount_;
      return path;
    });
  }

  int askedCount_ = 0;
};

const char* const kDefaultRectangle =
    "N10 ( rectangle H10 x W10 )\r\nN20 G0 X-4 Y-4 Z0\r\nN30 G1 Z-2\r\nN40 G1 X4\r\n"
    "N50 G1 Y4\r\nN60 G1 X-4\r\nN70 G1 Y-4\r\nN80 G1 Z0\r\nN90  M30\r\n";

TEST_F(SaveCommandTest, WritesTheProgramToTheChosenFile) {
  const SaveResult result = Save({}, PathOf("File1.din"));
  EXPECT_EQ(result.outcome, SaveOutcome::Written);
  EXPECT_EQ(result.message, "");
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

// A save that stops on the way leaves the file it was aimed at exactly as it was, and makes no
// file where there was none.
TEST_F(SaveCommandTest, AFaultLeavesTheFileAsItWas) {
  const auto job =
      [](std::initializer_list<std::pair<std::string FieldTexts::*, const char*>> texts) {
        SaveRequest request;
        request.fill = true;
        for (const auto& [field, text] : texts) request.texts.*field = text;
        return request;
      };
  const struct {
    SaveRequest request;
    const char* words;
  } rows[] = {
      {job({{&FieldTexts::ToolRadiusText, "0"}}), "Division by zero"},
      {job({{&FieldTexts::ToolRadiusText, "0.0001"}}),
       "The Tool Radius \"0.0001\" rounds to 0 at the program's 3 decimals."},
      {job({{&FieldTexts::ToolRadiusText, "0.001"},
            {&FieldTexts::WidthText, "100"},
            {&FieldTexts::HeightText, "100"}}),
       "Ring count overflow"},
      {job({{&FieldTexts::CenterXText, "1.7e308"}, {&FieldTexts::WidthText, "-1.7e308"}}),
       "Overflow: A coordinate grew beyond"},
      {job({{&FieldTexts::WidthText, "1e39"},
            {&FieldTexts::HeightText, "1e39"},
            {&FieldTexts::ToolRadiusText, "1e38"}}),
       "Overflow of a 32-bit value"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.words);
    std::ofstream(PathOf("part.din")) << "a good program";
    const SaveResult result = Save(row.request, PathOf("part.din"));
    EXPECT_EQ(result.outcome, SaveOutcome::ArithmeticFault);
    EXPECT_NE(result.message.find(row.words), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("Nothing was written"), std::string::npos) << result.message;
    EXPECT_EQ(testing::ReadFileBytes(PathOf("part.din")), "a good program");

    EXPECT_EQ(Save(row.request, PathOf("new.din")).outcome, SaveOutcome::ArithmeticFault);
    EXPECT_EQ(Names(), std::vector<std::string>{"part.din"});
  }
}

TEST_F(SaveCommandTest, RefusesOrRejectsABadJobBeforeAskingForAPath) {
  SaveRequest negativeTool;
  negativeTool.fill = true;
  negativeTool.texts.ToolRadiusText = "-1";
  SaveRequest hugeWidth;
  hugeWidth.texts.WidthText = "1e400";
  SaveRequest hugeTool;
  hugeTool.texts.ToolRadiusText = "1e39";
  SaveRequest tooManyRings;
  tooManyRings.fill = true;
  tooManyRings.texts.ToolRadiusText = "0.001";
  tooManyRings.texts.WidthText = tooManyRings.texts.HeightText = "100";
  SaveRequest grbl;  // its every line longer than GRBL reads
  grbl.machine.dialect = Dialect::Grbl;
  grbl.machine.feed = grbl.machine.plungeFeed = 600;
  grbl.machine.safeZ = 5;
  grbl.texts.CenterXText = "1e80";
  SaveRequest dinHoles;  // only a controller drills
  dinHoles.shape = ShapeKind::BoltCircle;
  SaveRequest facedPocket = grbl;
  facedPocket.texts.CenterXText = "0";
  facedPocket.shape = ShapeKind::Face;
  facedPocket.fill = true;
  SaveRequest holeFromOutside = facedPocket;
  holeFromOutside.shape = ShapeKind::Hole;
  holeFromOutside.fill = false;
  holeFromOutside.strategy.outside = true;

  const struct {
    SaveRequest request;
    SaveOutcome outcome;
    const char* words;
  } rows[] = {
      {negativeTool, SaveOutcome::Refused, "Tool Radius"},
      {hugeWidth, SaveOutcome::ArithmeticFault, "Width"},
      {hugeTool, SaveOutcome::ArithmeticFault, "Tool Radius"},
      {tooManyRings, SaveOutcome::ArithmeticFault, "Ring count overflow"},
      {grbl, SaveOutcome::Refused, "GRBL reads lines of at most 79 characters"},
      {dinHoles, SaveOutcome::Refused, "a bolt-circle is cut by a LinuxCNC or GRBL program"},
      {facedPocket, SaveOutcome::Refused, "A face has no outline to clear inside as a pocket."},
      {holeFromOutside, SaveOutcome::Refused, "A hole has no outline to cut from outside."},
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
