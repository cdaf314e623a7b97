#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "gcode/output/byte_sink.h"
#include "gcode/save/save_command.h"
#include "tests/support/case_name.h"
#include "tests/support/golden_cases.h"

namespace quorrel {
namespace {

using testing::GoldenCase;

class GoldenProgram : public ::testing::TestWithParam<GoldenCase> {};

// The expected programs, made by the core alone and written to memory.
TEST_P(GoldenProgram, CoreWritesTheExpectedBytes) {
  const GoldenCase& golden = GetParam();

  ASSERT_TRUE(golden.found) << "no expected program for " << golden.name;
  std::string bytes;
  const SaveResult result = SaveGCode(
      testing::RequestOf(golden), [] { return std::string("memory"); },
      [&](const std::string&) { return std::make_unique<StringSink>(bytes); });

  EXPECT_EQ(bytes, golden.expectedProgram);
  if (golden.exitStatus == 0) {
    EXPECT_EQ(result.outcome, SaveOutcome::Written) << result.message;
  } else {
    EXPECT_TRUE(result.outcome == SaveOutcome::ArithmeticFault ||
                result.outcome == SaveOutcome::Refused);
    EXPECT_FALSE(result.message.empty());
  }
}

// The window's own programs; a controller's program is made by the tool from one of these.
std::vector<GoldenCase> WindowPrograms() {
  std::vector<GoldenCase> cases = testing::LoadGoldenCases();
  std::erase_if(
      cases, [](const GoldenCase& golden) { return testing::GoldenExtension(golden) != ".din"; });
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Programs, GoldenProgram, ::testing::ValuesIn(WindowPrograms()),
                         testing::CaseName<GoldenCase>);

}  // namespace
}  // namespace quorrel
