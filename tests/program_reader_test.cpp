#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "gcode/job/job_refusal.h"
#include "gcode/output/byte_sink.h"
#include "gcode/program/controller_program.h"
#include "gcode/program/controller_writer.h"
#include "gcode/program/program_reader.h"
#include "gcode/toolpath/move_geometry.h"
#include "gcode/toolpath/toolpath_recording.h"
#include "tests/support/hostile_programs.h"
#include "tests/support/raised.h"

namespace quorrel {
namespace {

using testing::Raised;

TEST(ProgramReader, TurnsLinesIntoMoves) {
  const ReadBackProgram program = ReadProgram(
      "N10 ( Circle R2 )\r\nN20 G0 X-1 Y0 Z0\r\nN30 G1 Z-2\r\nN40 G3 X1 I0 J.5\r\n"
      "N50 G3 X-1 Y0\r\nN60 G1 Z0\r\nN70 M30\r\n");
  EXPECT_EQ(program.comment, "Circle R2");
  EXPECT_TRUE(program.ended);
  ASSERT_EQ(program.moves.size(), 5U);
  const ToolMove& plunge = program.moves[1];
  EXPECT_EQ(plunge.kind, MoveKind::Feed);
  EXPECT_EQ(plunge.to.x, -1.0);  // a missing axis word keeps its value
  EXPECT_EQ(plunge.to.z, -2.0);
  EXPECT_EQ(plunge.role, MoveRole::Plunge);
  EXPECT_EQ(program.layout, &CircleOutlineLayout());
  EXPECT_EQ(plunge.words, kWordZ);
  const ToolMove& firstHalf = program.moves[2];
  EXPECT_EQ(firstHalf.kind, MoveKind::ArcCounterClockwise);
  EXPECT_EQ(firstHalf.to.y, 0.0);
  EXPECT_EQ(firstHalf.centerY, 0.5);
  const ToolMove& secondHalf = program.moves[3];
  EXPECT_EQ(secondHalf.centerX, 0.0);  // an arc without I and J keeps the centre before it
  EXPECT_EQ(secondHalf.centerY, 0.5);
  EXPECT_EQ(secondHalf.from.x, 1.0);
  EXPECT_EQ(secondHalf.line, 5);
}

ToolMove Arc(double fromX, double fromY, double toX, double toY,
             MoveKind kind = MoveKind::ArcCounterClockwise) {
  ToolMove arc;
  arc.kind = kind;
  arc.from = {Coord::Of(fromX), Coord::Of(fromY), Coord::Of(0.0)};
  arc.to = {Coord::Of(toX), Coord::Of(toY), Coord::Of(0.0)};
  return arc;
}

// The geometry the drawing and the checks measure programs by.
TEST(Toolpath, MeasuresArcsAndClosedPaths) {
  const double pi = std::numbers::pi;
  ToolMove line = Arc(0, 0, 3, 4);
  line.kind = MoveKind::Feed;
  const struct {
    ToolMove move;
    double sweep;
    double length;
  } rows[] = {
      {Arc(2, 0, 0, 2), pi / 2, pi},                          // a quarter turn
      {Arc(0, 2, 2, 0), 3 * pi / 2, 3 * pi},                  // three quarters, the long way
      {Arc(0, 2, 2, 0, MoveKind::ArcClockwise), pi / 2, pi},  // clockwise, the short way
      {Arc(2, 0, 2, 0), 2 * pi, 4 * pi},                      // a whole circle
      {Arc(0, 0, 0, 0), 0, 0},                                // radius 0: the tool fills it
      {line, 0, 5},
  };
  for (const auto& row : rows) {
    if (IsArc(row.move)) {
      EXPECT_DOUBLE_EQ(ArcSweep(row.move), row.sweep);
    }
    EXPECT_DOUBLE_EQ(MoveLength(row.move), row.length);
    const Point middle = PointAlong(row.move, 0.5);
    EXPECT_NEAR(DistanceToMove(middle.x, middle.y, row.move), 0.0, 1e-12);
  }
  const Point quarter = PointAlong(Arc(2, 0, 0, 2), 0.5);
  EXPECT_NEAR(quarter.x, std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(DistanceToMove(-2, 0, Arc(2, 0, 0, 2)), 2 * std::sqrt(2.0), 1e-12);  // past the end

  const ReadBackProgram pocket = ReadProgram(
      "N10 ( Circle R3 )\r\nN10 G0 X0 Y0 Z0\r\nN20 G1 Z-1\r\nN30 G1 X-1\r\n"
      "N40 G3 X1 I0 J0\r\nN50 G3 X-1 Y0\r\nN30 G1 X-2\r\nN40 G3 X2 I0 J0\r\nN50 G3 X-2 Y0\r\n"
      "N60 G1 Z0\r\nN70  M30\r\n");
  EXPECT_EQ(CountClosedPaths(pocket.moves), 2);
}

// Nothing reaches a machine that Quorrel did not make: each of these is refused at its line,
// read on its own and converted for a controller, before anything is written.
TEST(ProgramReader, RefusesWhatQuorrelNeverWrites) {
  MachineSettings grbl;
  grbl.dialect = Dialect::Grbl;
  grbl.feed = grbl.plungeFeed = 600;
  grbl.safeZ = 5;
  for (const testing::HostileProgram& hostile : testing::HostilePrograms()) {
    SCOPED_TRACE(hostile.name);
    std::string written;
    try {
      ConvertWindowProgram(hostile.program, grbl, {}, std::make_unique<StringSink>(written));
      ADD_FAILURE() << "converted";
    } catch (const ProgramFormatError& error) {
      EXPECT_EQ(error.line(), hostile.line) << error.what();
    } catch (const JobRefused& refused) {
      EXPECT_NE(std::string(refused.what()).find("line " + std::to_string(hostile.line)),
                std::string::npos)
          << refused.what();
    }
    EXPECT_EQ(written, "");
  }
}

// A controller never acts on the title: LinuxCNC's active comments are known for what they are,
// and GRBL's real-time characters, which it acts on even in a comment, are written as blanks.
TEST(ControllerWriter, WritesATitleNoControllerActsOn) {
  for (const char* text : {"MSG,x", " msg,x", "DEBUG,#1", "PRINT,y", "LOGOPEN,/tmp/x", "LOG,z",
                           "PROBEOPEN /tmp/p", "probeclose "}) {
    EXPECT_TRUE(IsActiveComment(text)) << text;
  }
  for (const char* text : {"rectangle H10 x W10", "Circle R2", "MSG", "message,", "LOG-x", ""}) {
    EXPECT_FALSE(IsActiveComment(text)) << text;
  }
  MachineSettings grbl;
  grbl.dialect = Dialect::Grbl;
  grbl.feed = grbl.plungeFeed = 600;
  grbl.safeZ = 5;
  std::string written;
  ConvertWindowProgram(
      "N10 ( rectangle H10!~? x W\xc3\xa9 )\r\nN20 G0 X-4 Y-4 Z0\r\nN30 G1 Z-2\r\nN40 G1 X4\r\n"
      "N50 G1 Y4\r\nN60 G1 X-4\r\nN70 G1 Y-4\r\nN80 G1 Z0\r\nN90  M30\r\n",
      grbl, {}, std::make_unique<StringSink>(written));
  EXPECT_TRUE(written.starts_with("( rectangle H10    x W   )\n")) << written;
}

TEST(ProgramReader, RejectsWhatQuorrelNeverWrites) {
  const std::string head = "N10 ( rectangle H10 x W10 )\r\nN20 G0 X-4 Y-4 Z0\r\n";
  const struct {
    std::string program;
    int line;
  } rows[] = {
      {head + "N30 G1 Z-2\n", 3},               // no CR LF
      {head + "N30 G1 Z-2", 3},                 // no line end at all
      {head + "N30 G1 Z-2.0\r\n", 3},           // trailing zero
      {head + "N30 G1 Z-0.5\r\n", 3},           // a "0" before the point
      {head + "N30 G1 Z1e3\r\n", 3},            // exponent
      {head + "N30 G1 Z-.0005\r\n", 3},         // four decimals
      {head + "N30 G1 X-0\r\n", 3},             // negative zero
      {head + "N30 G1 X+1\r\n", 3},             // plus sign
      {head + "N30 G1  X1\r\n", 3},             // two blanks between words
      {head + "N30 X1\r\n", 3},                 // no motion word
      {head + "N30 G1 I1\r\n", 3},              // a centre on a straight move
      {head + "30 G1 X1\r\n", 3},               // no block number
      {head + "N90  M30\r\nN20 G0 X1\r\n", 3},  // an end where the program does not end
      {"N20 G0 X1 Y1 Z0\r\n", 1},               // no title first
      {"N10 ( open comment\r\n", 1},
      {"N10 ( Circle R2 )\r\nN20 G0 X-1 Y0 Z0\r\nN30 G1 Z-2\r\nN50 G3 X1 Y0\r\n", 4},
      // a pocket's rings without the stroke through its middle that opens every pocket
      {"N10 ( rectangle H3 x W3 )\r\nN20 G0 X-1.5 Y0 Z0\r\nN30 G1 Z-2\r\n"
       "N50 G1 X-1.5 Y-1.5\r\nN51 G1 X1.5\r\n",
       4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.program);
    if (auto error = Raised<ProgramFormatError>([&] { ReadProgram(row.program); })) {
      EXPECT_EQ(error->line(), row.line) << error->what();
    }
  }
}

// An inch program is written in ten-thousandths, its arc centres in hundred-thousandths; a
// millimetre program in thousandths and ten-thousandths.
TEST(ProgramReader, ReadsEachUnitsResolution) {
  const struct {
    const char* setUp;
    const char* line;
    bool read;
    double x;
  } rows[] = {
      {"G20", "G1 X.8125 F20", true, 0.8125},       {"G21", "G1 X.8125 F20", false, 0},
      {"G20", "G1 X.00005 F20", false, 0},          {"G21", "G1 X.812 F20", true, 0.812},
      {"G20", "G1 X-12.5 F20.125", true, -12.5},    {"G20", "G1 X.81250 F20", false, 0},
      {"G20", "G3 X1 Y0 I.00005 J0 F9", true, 1},   {"G21", "G3 X1 Y0 I.00005 J0 F9", false, 0},
      {"G20", "G3 X1 Y0 I.000005 J0 F9", false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.setUp) + ": " + row.line);
    const std::string program =
        "( Circle R1 )\n" + std::string(row.setUp) + " G90 G17 G94 G91.1\n" + row.line + "\nM30\n";
    ToolpathRecording moves;
    bool read = true;
    try {
      ReadControllerProgram(program, moves);
    } catch (const ProgramFormatError& error) {
      read = false;
      EXPECT_EQ(error.line(), 3) << error.what();
    }
    EXPECT_EQ(read, row.read);
    if (read) {
      EXPECT_DOUBLE_EQ(moves.moves().at(0).to.x, row.x);
    }
  }
}

TEST(IsCoordText, KnowsWhatFormatCoordWrites) {
  for (const char* text : {"0", "1", "-5", ".5", "-.25", "12.346", "100", "1000000000000000"}) {
    EXPECT_TRUE(IsCoordText(text)) << text;
  }
  for (const char* text : {"", "-", "0.5", "-0", "00", "01", "1.", ".", "1.50", "1e5", "+1", " 1",
                           "1 ", "1,5", "-.0", ".0001", "--1"}) {
    EXPECT_FALSE(IsCoordText(text)) << text;
  }
}

}  // namespace
}  // namespace quorrel
