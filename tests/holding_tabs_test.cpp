#include "gcode/strategy/holding_tabs.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "gcode/job/job_parameters.h"
#include "gcode/numbers/number_text.h"
#include "gcode/toolpath/toolpath_recording.h"

namespace quorrel {
namespace {

// One move as a line of text: its kind, where it ends, and whether it goes at the plunge feed.
std::string MoveText(const ToolMove& move) {
  std::string text = move.kind == MoveKind::Rapid ? "G0" : "G1";
  text +=
      " X" + FormatCoord(move.to.x) + " Y" + FormatCoord(move.to.y) + " Z" + FormatCoord(move.to.z);
  if (move.kind != MoveKind::Rapid && move.feed == MoveFeed::Plunging) text += " plunge";
  return text;
}

ToolMove Line(ToolPoint from, ToolPoint to, MoveFeed feed) {
  ToolMove move;
  move.from = from;
  move.to = to;
  move.feed = feed;
  move.words = from.x == to.x && from.y == to.y ? std::uint8_t{kWordZ} : kWordsXY;
  return move;
}

ToolPoint At(double x, double y, double z) {
  return {Coord::Of(x), Coord::Of(y), Coord::Of(z)};
}

struct TabRow {
  const char* name;
  std::optional<double> angle;
  Entry entry;
  double passDepth;
  std::vector<std::string> out;
};

// A 20 x 10 rectangle cut inside at Depth -3 with a cutter of radius 1: the bottom side's path
// runs along Y-4 from X-9 to X9, past one tab of 4 x 1 in its middle. The cutter reaches the
// tab's top from X-3 to X3, and its base, at 45 degrees 6 long, from X-4 to X4.
TEST(HoldingTabs, RunOverEachTabsTopAndDownItsSlopes) {
  const std::vector<TabRow> rows{
      {"upright sides go straight up and down",
       std::nullopt,
       Entry::Plunge,
       -3,
       {"G1 X-9 Y-4 Z-3 plunge", "G1 X-3 Y-4 Z-3", "G1 X-3 Y-4 Z-2 plunge", "G1 X3 Y-4 Z-2",
        "G1 X3 Y-4 Z-3 plunge", "G1 X9 Y-4 Z-3"}},
      {"a ramp's tabs slope at 45 degrees",
       std::nullopt,
       Entry::Ramp,
       -3,
       {"G1 X-9 Y-4 Z-3 plunge", "G1 X-4 Y-4 Z-3", "G1 X-3 Y-4 Z-2 plunge", "G1 X3 Y-4 Z-2",
        "G1 X4 Y-4 Z-3 plunge", "G1 X9 Y-4 Z-3"}},
      {"a flatter slope starts further out",
       30.0,
       Entry::Plunge,
       -3,
       {"G1 X-9 Y-4 Z-3 plunge", "G1 X-4.732 Y-4 Z-3", "G1 X-3 Y-4 Z-2 plunge", "G1 X3 Y-4 Z-2",
        "G1 X4.732 Y-4 Z-3 plunge", "G1 X9 Y-4 Z-3"}},
      {"a pass between top and Depth meets the slopes halfway",
       45.0,
       Entry::Plunge,
       -2.5,
       {"G1 X-9 Y-4 Z-2.5 plunge", "G1 X-3.5 Y-4 Z-2.5", "G1 X-3 Y-4 Z-2 plunge", "G1 X3 Y-4 Z-2",
        "G1 X3.5 Y-4 Z-2.5 plunge", "G1 X9 Y-4 Z-2.5"}},
      {"a pass above the top passes as it came",
       45.0,
       Entry::Plunge,
       -1.5,
       {"G1 X-9 Y-4 Z-1.5 plunge", "G1 X9 Y-4 Z-1.5"}},
  };
  FieldTexts texts;
  texts.WidthText = "20";
  texts.HeightText = "10";
  texts.ToolRadiusText = "1";
  texts.DepthText = "-3";
  const JobParameters job = MakeJobParameters(texts, ShapeKind::Rectangle, false);
  for (const TabRow& row : rows) {
    CuttingStrategy strategy;
    strategy.tabs = {1, 4.0, 1.0, row.angle};
    MachineSettings settings;
    settings.entry = row.entry;
    const TabPlan plan(job, strategy, settings);
    ToolpathRecording out;
    HoldingTabs tabs(out, plan);
    std::vector<ToolMove> in{
        Line(At(-9, -4, 0), At(-9, -4, row.passDepth), MoveFeed::Plunging),
        Line(At(-9, -4, row.passDepth), At(9, -4, row.passDepth), MoveFeed::Cutting)};
    for (ToolMove& move : in) tabs.Move(move);
    tabs.End();
    std::vector<std::string> written;
    for (const ToolMove& move : out.moves()) written.push_back(MoveText(move));
    EXPECT_EQ(written, row.out) << row.name;
  }
}

}  // namespace
}  // namespace quorrel
