#include "gcode/program/program_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

#include "gcode/numbers/coord.h"
#include "gcode/numbers/number_text.h"
#include "gcode/shapes/din_layout.h"
#include "gcode/shapes/operation.h"
#include "gcode/toolpath/toolpath_recording.h"

namespace quorrel {
namespace {

// A piece of a line for a message: short, and with no byte that a terminal would act on.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string shown = "\"";
  for (const char c : text.substr(0, kShown)) {
    const auto byte = static_cast<unsigned char>(c);
    shown += byte < 0x20 || byte >= 0x7F ? '?' : c;
  }
  return shown + (text.size() > kShown ? "...\"" : "\"");
}

// One line of a program, without its line end, and where it stands.
class Line {
 public:
  Line(std::string_view text, int number) : text_(text), number_(number) {}

  [[noreturn]] void Fail(const std::string& problem) const {
    throw ProgramFormatError(number_, problem);
  }
  std::string_view text() const { return text_; }
  int number() const { return number_; }

 private:
  std::string_view text_;
  int number_;
};

// Splits a program into lines that each end with `lineEnd`, and hands them to `each`.
template <class Each>
void ForEachLine(std::string_view bytes, std::string_view lineEnd, Each each) {
  int number = 0;
  while (!bytes.empty()) {
    ++number;
    const std::size_t end = bytes.find(lineEnd);
    if (end == std::string_view::npos) {
      throw ProgramFormatError(number, lineEnd == "\r\n" ? "no CR LF at the end of the line"
                                                         : "no LF at the end of the line");
    }
    each(Line(bytes.substr(0, end), number));
    bytes.remove_prefix(end + lineEnd.size());
  }
}

// The title between "( " and " )": a job's, as Quorrel writes it.
std::string TitleOf(const Line& line, std::string_view comment) {
  if (!comment.starts_with("( ") || !comment.ends_with(" )") || comment.size() < 4) {
    line.Fail("the first line is not the program's title, \"( \" and a title and \" )\"");
  }
  const std::string_view title = comment.substr(2, comment.size() - 4);
  for (const char c : title) {
    if (c == '(' || c == ')') line.Fail("a comment inside the title, or words after it");
    if (c == '\0' || c == '\r' || c == '\n') line.Fail("a control character in the title");
  }
  if (!BeginsWithShapeWords(title)) {
    line.Fail("a title that does not begin with a shape's words (\"rectangle\", \"Circle\")");
  }
  return std::string(title);
}

// The words of a line after its motion, in the order Quorrel writes them.
struct Words {
  std::uint8_t present = 0;
  ToolPoint at = kUnknownPoint;
  double i = 0.0, j = 0.0;
  std::optional<Coord> feed;  // F, or a spindle's S
  std::optional<Coord> r, q;  // a drilling cycle's retract height and peck
  std::optional<Coord> p;     // a wait's seconds

  // Where the line takes the tool from `from`: a coordinate it does not write stays as it was.
  ToolPoint To(ToolPoint from) const {
    if ((present & kWordX) != 0) from.x = at.x;
    if ((present & kWordY) != 0) from.y = at.y;
    if ((present & kWordZ) != 0) from.z = at.z;
    return from;
  }
};

// The motion a line's first word names: "G0", "G1", "G2" or "G3".
std::optional<MoveKind> MotionNamed(std::string_view word) {
  if (word == "G0") return MoveKind::Rapid;
  if (word == "G1") return MoveKind::Feed;
  if (word == "G2") return MoveKind::ArcClockwise;
  if (word == "G3") return MoveKind::ArcCounterClockwise;
  return std::nullopt;
}

// How the centre words I and J are written: as absolute coordinates (the window's programs), or
// as the offset of the centre from the arc's start, to four decimals (the controllers').
enum class Centers { Absolute, FromStart };

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether `text` is a number in FormatCoord's form with at most `decimals` decimals: no "+", no
// "0" before the point, no trailing zero, no "-0".
bool InCoordForm(std::string_view text, std::size_t decimals) {
  if (text == "0") return true;
  std::size_t p = text.starts_with('-') ? 1 : 0;
  if (p == text.size() || text[p] == '0') return false;
  while (p < text.size() && IsDigit(text[p])) ++p;
  if (p == text.size()) return true;
  if (text[p] != '.') return false;
  const std::size_t point = p++;
  while (p < text.size() && IsDigit(text[p])) ++p;
  const std::size_t count = p - point - 1;
  return p == text.size() && count >= 1 && count <= decimals && text.back() != '0';
}

// A coordinate as a program writes it: FormatCoord's text, or in a program made in tenths of its
// unit, that text with its point one place further left (see ProgramUnits).
std::optional<Coord> CoordValue(std::string_view text, bool tenths) {
  if (!tenths) return Coord::Parse(text);
  if (!InCoordForm(text, 4)) return std::nullopt;
  const std::optional<Coord> made = Coord::Parse(MovePointRight(text));
  return made ? std::optional(made->PointMovedLeft()) : std::nullopt;
}

std::optional<double> CenterValue(std::string_view text, Centers centers, bool tenths = false) {
  if (tenths) {
    if (!InCoordForm(text, 5)) return std::nullopt;
    const std::optional<double> made = CenterValue(MovePointRight(text), centers);
    return made ? std::optional(*made / 10.0) : std::nullopt;
  }
  if (centers == Centers::Absolute) {
    const std::optional<Coord> coord = Coord::Parse(text);
    return coord ? std::optional(coord->value()) : std::nullopt;
  }
  // FormatCenterOffset's text: FormatCoord's form, to four decimals, and the very text it writes
  // for the value (which a long one, read, may not be).
  if (!InCoordForm(text, 4)) return std::nullopt;
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.size() > 16 && FormatCenterOffset(value) != text) return std::nullopt;
  return value;
}

// Reads the words after a line's motion: each of `letters`, in that order, at most once, one
// blank before each. A word a motion does not take is refused by the caller.
Words ReadWords(const Line& line, std::string_view rest, std::string_view letters, Centers centers,
                bool tenths = false) {
  Words words;
  std::size_t next = 0;  // the first letter still allowed
  int centerWords = 0;   // an arc's centre is written with both I and J
  while (!rest.empty()) {
    if (rest[0] != ' ' || rest.size() < 3 || rest[1] == ' ') {
      line.Fail("words are separated by one blank, with none at the end of the line");
    }
    rest.remove_prefix(1);
    const std::string_view word = rest.substr(0, rest.find(' '));
    rest.remove_prefix(word.size());
    const std::size_t letter = letters.find(word[0], next);
    if (letter == std::string_view::npos) {
      line.Fail(letters.find(word[0]) != std::string_view::npos
                    ? "the word " + Quoted(word) + " twice, or out of its place"
                    : "a word a program does not write: " + Quoted(word));
    }
    next = letter + 1;
    const std::string_view number = word.substr(1);
    const char name = word[0];
    if (name == 'I' || name == 'J') {
      const std::optional<double> value = CenterValue(number, centers, tenths);
      if (!value) line.Fail("the number " + Quoted(number) + " is not one Quorrel writes");
      (name == 'I' ? words.i : words.j) = *value;
      words.present |= kWordCenter;
      ++centerWords;
      continue;
    }
    // A length is written in the program's units; a feed, a speed or a time in its own.
    const bool length = name == 'X' || name == 'Y' || name == 'Z' || name == 'R' || name == 'Q';
    const std::optional<Coord> value = CoordValue(number, tenths && length);
    if (!value) line.Fail("the number " + Quoted(number) + " is not one Quorrel writes");
    switch (name) {
      case 'X':
        words.at.x = *value;
        words.present |= kWordX;
        break;
      case 'Y':
        words.at.y = *value;
        words.present |= kWordY;
        break;
      case 'Z':
        words.at.z = *value;
        words.present |= kWordZ;
        break;
      case 'R':
        words.r = *value;
        break;
      case 'Q':
        words.q = *value;
        break;
      case 'P':
        words.p = *value;
        break;
      default:
        words.feed = *value;
    }
  }
  if (centerWords == 1) line.Fail("an arc's centre with only one of I and J");
  return words;
}

// One line of the window's program, read: its block number, and its motion and words, or the
// title, or the end.
struct WindowLine {
  enum class Type { Title, Motion, End } type = Type::Motion;
  std::uint16_t block = 0;
  MoveKind kind = MoveKind::Feed;
  Words words;
  std::string title;
  bool twoBlanks = false;
};

WindowLine ReadWindowLine(const Line& line) {
  std::string_view rest = line.text();
  std::size_t digits = 1;
  while (digits < rest.size() && IsDigit(rest[digits])) ++digits;
  // Block numbers are written without a leading zero: "N010" is no line of the window's.
  if (!rest.starts_with('N') || digits == 1 || digits > 4 || rest[1] == '0') {
    line.Fail("no block number");
  }
  WindowLine read;
  for (std::size_t k = 1; k < digits; ++k) {
    read.block = static_cast<std::uint16_t>(read.block * 10 + (rest[k] - '0'));
  }
  rest.remove_prefix(digits);
  if (rest.starts_with(" (")) {
    read.type = WindowLine::Type::Title;
    read.title = TitleOf(line, rest.substr(1));
    return read;
  }
  if (rest == " M30" || rest == "  M30") {
    read.type = WindowLine::Type::End;
    read.twoBlanks = rest.size() == 5;
    return read;
  }
  // The window's programs run every arc counter-clockwise.
  const std::optional<MoveKind> motion =
      rest.starts_with(' ') ? MotionNamed(rest.substr(1, 2)) : std::nullopt;
  if (!motion || *motion == MoveKind::ArcClockwise) {
    line.Fail("no motion the window's programs write (G0, G1 or G3) after the block number");
  }
  read.kind = *motion;
  read.words = ReadWords(line, rest.substr(3), "XYZIJ", Centers::Absolute);
  return read;
}

// What a line between the plunge and the end is, in a layout that has it there.
struct BodyLine {
  bool retract = false;
  bool beginsPath = false;  // the first line of a closed path
  bool endsPath = false;    // its last
};

// Where a program may stand in one layout of the window's programs, as its lines are read.
struct LayoutReading {
  const DinLayout* layout = nullptr;
  bool stroked = false;           // its pocket's stroke was read
  const DinRing* ring = nullptr;  // the ring whose step or closed path is being read
  std::size_t along = 0;          // lines of that closed path read
  bool retracted = false;

  // Takes the next line between the plunge and the end, if this layout has it there: a cut of its
  // own, the step to a ring, a line of a closed path, or the retract.
  std::optional<BodyLine> Take(const DinLine& line, bool atSurface) {
    if (retracted) return std::nullopt;
    if (ring != nullptr) {  // after its step, or inside its closed path
      if (line != ring->path[along]) return std::nullopt;
      return PathLine();
    }
    if (layout->stroke && !stroked) {
      // A pocket's stroke is its first cut, always: a program without it is not this layout's.
      if (line != *layout->stroke) return std::nullopt;
      stroked = true;
      return BodyLine{};
    }
    if (line == layout->retract && atSurface) {
      retracted = true;
      return BodyLine{true};
    }
    for (const DinRing& candidate : layout->rings) {
      if (candidate.step ? line == *candidate.step : line == candidate.path[0]) {
        ring = &candidate;
        along = 0;
        if (candidate.step) return BodyLine{};
        return PathLine();
      }
    }
    return std::nullopt;
  }

 private:
  BodyLine PathLine() {
    BodyLine read{false, along == 0, ++along == ring->path.size()};
    if (read.endsPath) ring = nullptr;
    return read;
  }
};

// Reads the window's program line by line, held to the layouts of its programs (see DinLayout),
// every one it may still follow, and hands the toolpath on.
class WindowProgramReader {
 public:
  explicit WindowProgramReader(ToolpathSink& sink) : sink_(sink) {
    for (const DinLayout* layout : DinLayouts()) readings_.push_back({layout});
  }

  void Read(const Line& line) {
    const WindowLine read = ReadWindowLine(line);
    if (state_ == State::Title) {
      if (read.type != WindowLine::Type::Title || read.block != 10) {
        line.Fail("the first line is not the program's title, \"N10 ( \" and a title and \" )\"");
      }
      sink_.Title({read.title});
      state_ = State::Approach;
      return;
    }
    if (state_ == State::Done) line.Fail("a line after the M30 line");
    if (read.type == WindowLine::Type::Title) line.Fail("a comment after the first line");
    if (read.type == WindowLine::Type::End) return End(line, read);
    const DinLine said{read.block, read.kind, read.words.present};
    switch (state_) {
      case State::Approach:
        Keep([&](const LayoutReading& r) {
          return said == r.layout->approach && read.words.at.z == 0.0;
        });
        if (readings_.empty()) line.Fail("the first move is not the rapid to the start at Z 0");
        state_ = State::Plunge;
        return Emit(line, read, MoveRole::Approach);
      case State::Plunge:
        Keep([&](const LayoutReading& r) { return said == r.layout->plunge; });
        if (readings_.empty()) line.Fail("the second move is not the plunge");
        state_ = State::Body;
        return Emit(line, read, MoveRole::Plunge);
      default:
        return Body(line, read, said);
    }
  }

  // The layout the program followed, once it has ended.
  const DinLayout* layout() const {
    return state_ == State::Done && !readings_.empty() ? readings_.front().layout : nullptr;
  }

 private:
  enum class State { Title, Approach, Plunge, Body, Done };

  template <class Keeps>
  void Keep(Keeps keeps) {
    std::erase_if(readings_, [&](LayoutReading& r) { return !keeps(r); });
  }

  // A line between the plunge and the end: a cut of its own, a line of a closed path, or the
  // retract, as one of the layouts still followed has it there. Where several do, they read it
  // alike.
  void Body(const Line& line, const WindowLine& read, const DinLine& said) {
    const bool atSurface = read.words.at.z == 0.0;
    const bool inPath = readings_.front().ring != nullptr && readings_.front().along > 0;
    const bool retracted = readings_.front().retracted;
    std::optional<BodyLine> taken;
    Keep([&](LayoutReading& r) {
      const std::optional<BodyLine> mine = r.Take(said, atSurface);
      if (mine && !taken) taken = mine;
      return mine.has_value();
    });
    if (!taken) {
      line.Fail(inPath      ? "a closed path that goes on otherwise than the window's programs"
                : retracted ? "a move after the retract"
                            : "a line the window's programs do not write between the plunge and "
                              "the retract");
    }
    if (taken->beginsPath) sink_.ClosedPathBegin();
    Emit(line, read, taken->retract ? MoveRole::Retract : MoveRole::Cut);
    if (taken->endsPath) sink_.ClosedPathEnd();
  }

  void End(const Line& line, const WindowLine& read) {
    Keep([&](const LayoutReading& r) {
      return r.retracted && read.block == r.layout->endBlock &&
             read.twoBlanks == r.layout->twoBlanks;
    });
    if (readings_.empty()) line.Fail("an M30 line where the program does not end");
    sink_.End();
    state_ = State::Done;
  }

  void Emit(const Line& line, const WindowLine& read, MoveRole role) {
    const Words& words = read.words;
    ToolMove move;
    move.kind = read.kind;
    move.role = role;
    move.from = at_;
    move.to = words.To(at_);
    if ((words.present & kWordCenter) != 0) {
      centerX_ = words.i;
      centerY_ = words.j;
    }
    if (IsArc(move) && std::isnan(centerX_)) line.Fail("an arc with no centre");
    move.centerX = centerX_;
    move.centerY = centerY_;
    move.words = words.present;
    move.line = line.number();
    at_ = move.to;
    sink_.Move(move);
  }

  ToolpathSink& sink_;
  State state_ = State::Title;
  std::vector<LayoutReading> readings_;  // the layouts the lines read so far may follow
  ToolPoint at_ = kUnknownPoint;
  double centerX_ = Coord::Unknown();
  double centerY_ = Coord::Unknown();
};

// Reads a program Quorrel wrote for a controller, line by line.
class ControllerProgramReader {
 public:
  explicit ControllerProgramReader(ToolpathSink& sink) : sink_(sink) {}

  void Read(const Line& line) {
    const std::string_view text = line.text();
    if (ended_) line.Fail("a line after the M30 line");
    if (line.number() == 1) {
      sink_.Title({TitleOf(line, text)});
      return;
    }
    if (line.number() == 2) {
      if (text != "G21 G90 G17 G94 G91.1" && text != "G20 G90 G17 G94 G91.1") {
        line.Fail("the second line is not the set-up line Quorrel writes");
      }
      // An inch program is made in tenths of an inch, and written in ten-thousandths.
      tenths_ = text.starts_with("G20");
      return;
    }
    if (text == "M30") {
      if (inCycle_) line.Fail("M30 inside a drilling cycle, before its G80");
      ended_ = true;
      sink_.End();
      return;
    }
    if (text == "M5") return;
    if (text.starts_with("M3 S") && !moved_ && !started_) {
      const Words words = ReadWords(line, text.substr(2), "S", Centers::Absolute);
      if (!words.feed) line.Fail("M3 without a spindle speed");
      started_ = true;
      return;
    }
    // The wait for the spindle to reach speed, right after it starts.
    if (text.starts_with("G4 P") && started_ && !moved_ && !waited_) {
      if (!(Wait(line) > 0.0)) line.Fail("G4 without a time to wait");
      waited_ = true;
      return;
    }
    if (text == "G80") {
      if (!inCycle_) line.Fail("G80 where no drilling cycle runs");
      inCycle_ = false;
      return;
    }
    if (text.starts_with("G98 ") || inCycle_) return Cycle(line);
    // A wait at the bottom of a hole that GRBL drills move by move.
    if (text.starts_with("G4 P") && moved_) {
      ToolMove wait;
      wait.kind = MoveKind::Dwell;
      wait.from = wait.to = at_;
      wait.seconds = Wait(line);
      if (!(wait.seconds > 0.0)) line.Fail("G4 without a time to wait");
      wait.line = line.number();
      sink_.Move(wait);
      return;
    }
    Motion(line);
  }

  void Finish(int lines) const {
    if (lines < 2) throw ProgramFormatError(lines + 1, "the program ends before its set-up line");
  }

 private:
  // The seconds of a "G4 P" line.
  static double Wait(const Line& line) {
    const Words words = ReadWords(line, line.text().substr(2), "P", Centers::Absolute);
    return words.p ? words.p->value() : 0.0;
  }

  // A line of a drilling cycle: "G98" before the first of a series, which returns to the height
  // it starts at after every hole; the cycle; the hole's X, Y and Z, the retract height R, and
  // the peck Q of G83 and G73 or the wait P of G82.
  void Cycle(const Line& line) {
    std::string_view text = line.text();
    if (text.starts_with("G98 ") == inCycle_) {
      line.Fail(inCycle_ ? "G98 inside a drilling cycle" : "a drilling cycle without G98");
    }
    if (!inCycle_) {
      text.remove_prefix(4);
      if (std::isnan(at_.z)) line.Fail("a drilling cycle from a height not known");
      cycleStartZ_ = at_.z;
    }
    const std::string_view code = text.substr(0, 3);
    const bool pecks = code == "G83" || code == "G73";
    const bool waits = code == "G82";
    if (!pecks && !waits && code != "G81") {
      line.Fail(inCycle_ ? "a move inside a drilling cycle, before its G80"
                         : "a drilling cycle Quorrel does not write");
    }
    const Words words = ReadWords(line, text.substr(3),
                                  pecks   ? "XYZRQF"
                                  : waits ? "XYZRPF"
                                          : "XYZRF",
                                  Centers::Absolute, tenths_);
    if ((words.present & (kWordsXY | kWordZ)) != (kWordsXY | kWordZ) || !words.r ||
        (pecks && !words.q) || (waits && !words.p)) {
      line.Fail("a drilling cycle without its X, Y, Z and R" + std::string(pecks   ? " and Q"
                                                                           : waits ? " and P"
                                                                                   : ""));
    }
    ToolMove hole;
    hole.kind = MoveKind::Drill;
    hole.from = at_;
    hole.to = words.at;
    hole.offsetX = words.r->value();
    hole.offsetY = pecks ? words.q->value() : 0.0;
    hole.seconds = waits ? words.p->value() : 0.0;
    hole.chipBreak = code == "G73";
    hole.words = kWordsXY | kWordZ;
    hole.line = line.number();
    inCycle_ = true;
    moved_ = true;
    at_ = {hole.to.x, hole.to.y, cycleStartZ_};
    sink_.Move(hole);
  }

  void Motion(const Line& line) {
    const std::string_view text = line.text();
    ToolMove move;
    const std::optional<MoveKind> motion = MotionNamed(text.substr(0, 2));
    if (!motion) line.Fail("a line Quorrel does not write for a controller");
    move.kind = *motion;
    const bool arc = IsArc(move);
    const Words words = ReadWords(line, text.substr(2),
                                  move.kind == MoveKind::Rapid ? "XYZ"
                                  : arc                        ? "XYZIJF"
                                                               : "XYZF",
                                  Centers::FromStart, tenths_);
    if ((words.present & (kWordsXY | kWordZ)) == 0) line.Fail("a move without a place to go");
    if (arc && ((words.present & kWordsXY) != kWordsXY || (words.present & kWordCenter) == 0)) {
      line.Fail("an arc without its end or its centre");
    }
    moved_ = true;
    move.from = at_;
    move.to = words.To(at_);
    move.words = words.present;
    if (arc) {
      move.offsetX = words.i;
      move.offsetY = words.j;
      move.centerX = move.from.x + move.offsetX;
      move.centerY = move.from.y + move.offsetY;
    }
    move.line = line.number();
    at_ = move.to;
    sink_.Move(move);
  }

  ToolpathSink& sink_;
  bool tenths_ = false;   // an inch program: see ProgramUnits
  bool started_ = false;  // the spindle
  bool waited_ = false;   // for it to reach speed
  ToolPoint at_ = kUnknownPoint;
  bool moved_ = false;
  bool ended_ = false;
  bool inCycle_ = false;                  // a drilling cycle's lines, until G80
  Coord cycleStartZ_ = Coord::Unknown();  // where its holes return to
};

}  // namespace

const DinLayout* ReadWindowProgram(std::string_view bytes, ToolpathSink& sink) {
  WindowProgramReader reader(sink);
  ForEachLine(bytes, "\r\n", [&](const Line& line) { reader.Read(line); });
  return reader.layout();
}

void ReadControllerProgram(std::string_view bytes, ToolpathSink& sink) {
  ControllerProgramReader reader(sink);
  int lines = 0;
  ForEachLine(bytes, "\n", [&](const Line& line) {
    if (line.text().find('\r') != std::string_view::npos) line.Fail("a CR in the line");
    reader.Read(line);
    lines = line.number();
  });
  reader.Finish(lines);
}

ProgramUnits UnitsOfProgram(std::string_view bytes) {
  const std::size_t setUp = bytes.find('\n');
  MachineSettings settings;
  settings.dialect = Dialect::LinuxCnc;
  const bool inch = bytes.starts_with("(") && setUp != std::string_view::npos &&
                    bytes.substr(setUp + 1).starts_with("G20 ");
  settings.units = inch ? Units::Inches : Units::Millimetres;
  return ProgramUnits::Of(settings);
}

void ReadAnyProgram(std::string_view bytes, ToolpathSink& sink) {
  if (bytes.starts_with("(")) {
    ReadControllerProgram(bytes, sink);
  } else {
    ReadWindowProgram(bytes, sink);
  }
}

ReadBackProgram ReadProgram(std::string_view bytes) {
  ToolpathRecording recording;
  const DinLayout* layout = ReadWindowProgram(bytes, recording);
  return {recording.title(), recording.moves(), recording.ended(), layout};
}

bool IsCoordText(std::string_view text) {
  return Coord::Parse(text).has_value();
}

}  // namespace quorrel
