#include <gtest/gtest.h>

#include <string>

#include "gcode/job/job_parameters.h"
#include "gcode/job/job_refusal.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "tests/support/raised.h"

namespace quorrel {
namespace {

using testing::Raised;

TEST(MakeJobParameters, ParsesAndRoundsEveryField) {
  FieldTexts texts;
  texts.CenterXText = "12.3456";
  texts.CenterYText = "-0.0625";
  texts.WidthText = "2.0005";
  texts.HeightText = "abc";
  texts.RadiusText = "2.0004";
  texts.ToolRadiusText = "0.1";
  texts.DepthText = "-2.0005";
  const JobParameters job = MakeJobParameters(texts, ShapeKind::Circle, true);
  EXPECT_EQ(job.CenterX, 12.346);
  EXPECT_EQ(job.CenterY, -0.062);
  EXPECT_EQ(job.Width, 2.001);
  EXPECT_EQ(job.Height, 0.0);
  EXPECT_EQ(job.CornerRadius, 2.0);  // rounded from 2.0004
  EXPECT_EQ(job.ToolRadius, 0.1F);   // the 32-bit value nearest 0.1
  // Narrowed before rounding: 32-bit 2.0005 lies below the half, the 64-bit value above it.
  EXPECT_EQ(job.Depth, -2.0F);
  EXPECT_EQ(job.ShapeKind, ShapeKind::Circle);
  EXPECT_TRUE(job.Fill);
}

TEST(MakeJobParameters, NamesTheFieldThatOverflows) {
  const struct {
    std::string FieldTexts::*field;
    const char* text;
    const char* caption;
  } rows[] = {
      {&FieldTexts::CenterXText, "1e400", "Position Center X"},
      {&FieldTexts::CenterYText, "-1e400", "Position Center Y"},
      {&FieldTexts::WidthText, "1e309", "Width"},
      {&FieldTexts::HeightText, "1e400", "Height"},
      {&FieldTexts::RadiusText, "1e400", "Radius"},
      {&FieldTexts::ToolRadiusText, "1e39", "Tool Radius"},
      {&FieldTexts::DepthText, "-1e39", "Depth"},
  };
  for (const auto& row : rows) {
    FieldTexts texts;
    texts.*row.field = row.text;
    SCOPED_TRACE(row.caption);
    if (auto fault = Raised<ArithmeticFault>(
            [&] { MakeJobParameters(texts, ShapeKind::Rectangle, false); })) {
      EXPECT_EQ(fault->kind(), FaultKind::Overflow);
      EXPECT_NE(std::string(fault->what()).find(std::string("The ") + row.caption + " field"),
                std::string::npos)
          << fault->what();
    }
  }
}

TEST(MakeJobParameters, KeepsTheLargest32BitValues) {
  FieldTexts texts;
  texts.ToolRadiusText = "3.4028234e38";
  texts.DepthText = "-3.40282356e38";  // rounds to the largest float, not beyond
  const JobParameters job = MakeJobParameters(texts, ShapeKind::Rectangle, false);
  EXPECT_EQ(job.ToolRadius, 3.4028234e38F);
  EXPECT_EQ(job.Depth, -3.40282347e38F);
}

TEST(RefusalReason, RefusesOnlyANegativeToolWithFill) {
  FieldTexts texts;
  texts.ToolRadiusText = "-0.1";
  EXPECT_FALSE(RefusalReason(MakeJobParameters(texts, ShapeKind::Rectangle, false)));
  const auto reason = RefusalReason(MakeJobParameters(texts, ShapeKind::Circle, true));
  ASSERT_TRUE(reason);
  // The value as typed, not the 32-bit number's seventeen digits.
  EXPECT_NE(reason->find("Fill needs a Tool Radius above 0, and the Tool Radius is -0.1:"),
            std::string::npos)
      << *reason;

  texts.ToolRadiusText = "0";
  EXPECT_FALSE(RefusalReason(MakeJobParameters(texts, ShapeKind::Rectangle, true)));
  texts.ToolRadiusText = "-0.0001";  // rounds to zero: the division-by-zero fault, not a refusal
  EXPECT_FALSE(RefusalReason(MakeJobParameters(texts, ShapeKind::Rectangle, true)));
}

}  // namespace
}  // namespace quorrel
