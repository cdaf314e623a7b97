#include "gcode/program/controller_program.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "gcode/job/job_refusal.h"
#include "gcode/numbers/number_text.h"
#include "gcode/program/program_reader.h"
#include "gcode/program/program_writer.h"
#include "gcode/strategy/pass_depths.h"
#include "gcode/strategy/ramp_plan.h"
#include "gcode/toolpath/toolpath.h"

namespace quorrel {
namespace {

// Lines written once and to be written again: where they stand in what was written, when the
// destination can read them back, or else a copy of them, in blocks that are filled and never
// moved (a pass of a large Fill is megabytes, and one string grown to hold it would copy it again
// at every doubling).
class KeptLines {
 public:
  std::uint64_t from = 0, to = 0;  // positions in what was written

  void Copy(std::string_view line) {
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() <= line.size()) {
      blocks_.emplace_back().reserve(std::max(kBlockSize, line.size() + 1));
    }
    blocks_.back().append(line).push_back('\n');
  }
  const std::vector<std::string>& copy() const { return blocks_; }

 private:
  static constexpr std::size_t kBlockSize = 256 * 1024;
  std::vector<std::string> blocks_;
};

// One controller line at a time: words separated by one blank, numbers as FormatCoord writes
// them, the feed written only where it changes, the controller's line length checked.
class ControllerLines {
 public:
  ControllerLines(const MachineSettings& settings, ProgramWriter& writer)
      : settings_(settings), writer_(writer) {}

  ControllerLines& Word(std::string_view word) {
    if (!line_.empty()) line_ += ' ';
    line_ += word;
    return *this;
  }
  ControllerLines& Word(char letter, double value) {
    char text[kMaxNumberTextLength + 2];
    text[0] = letter;
    return Word(
        std::string_view(text, static_cast<std::size_t>(FormatCoordTo(text + 1, value) - text)));
  }
  ControllerLines& Word(char letter, std::string_view number) {
    if (!line_.empty()) line_ += ' ';
    line_ += letter;
    line_ += number;
    return *this;
  }
  /// A straight cut, "G1 X… Y…", as the window's program writes it: straight into the writer.
  void Cut(std::string_view words, std::size_t blanks, double feed) {
    if (feed_ != feed) {
      Word(words).Feed(feed).End();
      return;
    }
    // GRBL counts no blanks.
    Check(words.size() - (settings_.dialect == Dialect::Grbl ? blanks : 0));
    Write(words);
  }

  ControllerLines& Feed(double feed) {
    if (feed_ != feed) Word('F', feed);
    feed_ = feed;
    return *this;
  }
  void End() {
    std::size_t counted = line_.size();
    if (settings_.dialect == Dialect::Grbl && counted > longest_) {
      // GRBL counts neither blanks nor comments.
      counted = 0;
      int depth = 0;
      for (char c : line_) {
        depth += c == '(' ? 1 : 0;
        if (depth == 0 && c != ' ') ++counted;
        depth -= c == ')' && depth > 0 ? 1 : 0;
      }
    }
    Check(counted);
    Write(line_);
    line_.clear();
  }

  /// Keeps the lines written from now on in `into`, until StopKeeping.
  void Keep(KeptLines& into) {
    kept_ = &into;
    into.from = writer_.Position();
    copying_ = !writer_.CanWriteAgain();
  }
  void StopKeeping() {
    if (kept_ != nullptr) kept_->to = writer_.Position();
    kept_ = nullptr;
  }
  /// Writes the lines kept before, as they stand.
  void Repeat(const KeptLines& lines, std::optional<double> feedAtTheirEnd) {
    if (copying_) {
      for (const std::string& block : lines.copy()) writer_.WriteLines(block);
    } else {
      writer_.WriteAgain(lines.from, lines.to);
    }
    feed_ = feedAtTheirEnd;
  }
  std::optional<double> feed() const { return feed_; }

 private:
  void Check(std::size_t counted) const {
    if (counted > longest_) Refuse(counted);
  }
  [[noreturn]] void Refuse(std::size_t counted) const {
    throw JobRefused(std::string(DialectName(settings_.dialect)) + " reads lines of at most " +
                     std::to_string(longest_) + " characters, and this job needs one of " +
                     std::to_string(counted) + ". Nothing was written.");
  }

  void Write(std::string_view line) {
    writer_.WriteLine(ProgramLine{line});
    if (kept_ != nullptr && copying_) kept_->Copy(line);
  }

  const MachineSettings& settings_;
  ProgramWriter& writer_;
  const std::size_t longest_ = LongestLine(settings_.dialect);
  std::string line_;
  std::optional<double> feed_;
  KeptLines* kept_ = nullptr;
  bool copying_ = false;
};

// A line's words, split once: the motion word first, then its axis words.
struct Words {
  std::array<std::string_view, 6> word{};
  std::size_t count = 0;

  /// The number text of the word of `letter` ("X-4" gives "-4"); empty when there is none.
  std::string_view Of(char letter) const {
    for (std::size_t i = 1; i < count; ++i) {
      if (word[i][0] == letter) return word[i].substr(1);
    }
    return {};
  }
};

// A cut held back before it is written: by a conventional pass until the closed path it belongs
// to is complete, by a ramping pass until the ramp along it is known. Its ends as the program
// writes them, an arc's centre between its ends, a straight cut's words.
struct HeldCut {
  std::string fromX, fromY, toX, toY;
  std::optional<ToolPoint> center;
  ToolPoint from{}, to{};
  std::string words;  // a straight cut's, as the program writes them
  std::size_t blanks = 0;
};

// What the first pass learns of the program, for the passes after it: every later pass cuts
// the same lines after it has come down, so they are kept as the first pass wrote them.
struct Path {
  std::string startX, startY;  // as the program writes them
  double depth = 0.0;
  std::optional<PassDepths> depths;
  bool endsWhereItBegins = false;
  bool toldTooShortToRamp = false;  // the machinist hears it once, not at every pass
  std::vector<HeldCut> rampCuts;    // what a ramp may run along
  KeptLines cuts;                   // the first pass's lines after it came down
  std::optional<double> feedAfterCuts;
};

// Turns the lines of one pass through a program as the window saves it into the controller's
// lines. Every such program is its comment, a rapid to the start at Z 0, a plunge, the cuts at
// the depth, a retract to Z 0 and M30; each line is checked to be where it belongs. A straight
// cut is written as the program writes it; an arc gets its centre relative to its start, and
// is left out when its radius is 0 (the tool exactly fills the circle: the plunge alone cuts
// that hole). The first pass writes the program's head once the depth is known.
class PassTranslator {
 public:
  /// `head`: the first pass of the program writes its head; a finishing pass only comes to its
  /// start.
  PassTranslator(Path& path, const MachineSettings& settings, bool outside, ControllerLines& out,
                 const ControllerNotice& notice, bool head = true)
      : path_(path),
        settings_(settings),
        out_(out),
        notice_(notice),
        head_(head),
        clockwise_(CutsClockwise(settings.direction, outside)) {}

  /// One line, without its line end.
  void Line(std::string_view line) {
    ++number_;
    std::size_t blank = 1;
    while (blank < line.size() && line[blank] >= '0' && line[blank] <= '9') ++blank;
    if (!line.starts_with('N') || blank == 1 || blank >= line.size() || line[blank] != ' ') {
      Fail("no block number");
    }
    std::string_view words = line.substr(blank + 1);
    switch (state_) {
      case State::Comment:
        if (!words.starts_with("( ") || !words.ends_with(" )") || words.size() < 4) {
          Fail("the first line is not a comment");
        }
        comment_ = words.substr(2, words.size() - 4);
        state_ = State::Rapid;
        return;
      case State::Rapid:
        Rapid(Split(words));
        state_ = State::Plunge;
        return;
      case State::Plunge:
        Plunge(Split(words));
        state_ = State::Cuts;
        return;
      case State::Cuts:
        if (Cut(words)) state_ = State::End;
        return;
      case State::End:
        if (words != " M30" && words != "M30") Fail("the retract is not followed by M30");
        state_ = State::Done;
        return;
      case State::Done:
        Fail("a line after M30");
    }
  }

  /// Whether straight cuts go out as they come, so that PassStraightCuts may take them: the cuts
  /// of a climb pass that is not ramping.
  bool PassesStraightCuts() const { return state_ == State::Cuts && !ramp_ && !clockwise_; }

  /// Takes the whole lines of straight cuts at the start of `text` ("N51 G1 X1.5\r\n") as Line
  /// would, in one loop: nearly every line of a large program is one. Returns how much of `text`
  /// they were; a line of anything else, or one not yet complete, is left for Line.
  std::size_t PassStraightCuts(std::string_view text) {
    std::size_t taken = 0;
    while (true) {
      const std::string_view rest = text.substr(taken);
      std::size_t words = 1;
      while (words < rest.size() && rest[words] >= '0' && rest[words] <= '9') ++words;
      if (rest.empty() || rest[0] != 'N' || words == 1 || words + 6 > rest.size() ||
          rest[words] != ' ' || rest[words + 1] != 'G' || rest[words + 2] != '1' ||
          rest[words + 3] != ' ' || (rest[words + 4] != 'X' && rest[words + 4] != 'Y')) {
        return taken;
      }
      ++words;
      std::size_t lineEnd = words + 4;
      while (lineEnd < rest.size() && rest[lineEnd] != '\r') ++lineEnd;
      if (lineEnd + 1 >= rest.size() || rest[lineEnd + 1] != '\n') return taken;
      ++number_;
      const std::string_view cut = rest.substr(words, lineEnd - words);
      out_.Cut(cut, MoveStraight(cut), settings_.feed);
      taken += lineEnd + 2;
    }
  }

  /// Keeps the position's texts: the text the lines came from is about to go.
  void KeepPosition() {
    if (x_.data() != xKept_.data()) x_ = xKept_ = x_;
    if (y_.data() != yKept_.data()) y_ = yKept_ = y_;
  }

  /// How many lines were read.
  int lines() const { return number_; }

  /// After the last line.
  void End() const {
    if (state_ != State::Done) Fail("the program ends before its M30 line");
  }

  /// Pass `pass` after the first: down from the pass before, and the first pass's cuts again.
  void CutAgain(long long pass) {
    const double top = path_.depths->Z(pass - 1), bottom = path_.depths->Z(pass);
    if (settings_.entry == Entry::Ramp) {
      WriteDescent(path_.rampCuts, top, bottom);
    } else {
      WritePlunge(bottom);
    }
    out_.Repeat(path_.cuts, path_.feedAfterCuts);
  }

 private:
  enum class State { Comment, Rapid, Plunge, Cuts, End, Done };

  [[noreturn]] void Fail(const std::string& problem) const {
    throw ProgramFormatError(number_, problem);
  }

  double Value(std::string_view text) const {
    const std::optional<double> value = CoordValue(text);
    if (!value) Fail("number text \"" + std::string(text) + "\" is not a coordinate");
    return *value;
  }

  Words Split(std::string_view text) const {
    Words words;
    const char* start = text.data();
    const char* const end = start + text.size();
    for (const char* p = start;; ++p) {
      if (p != end && *p != ' ') continue;
      if (p - start < 2 || words.count == words.word.size()) {
        Fail("a word a program does not write");
      }
      words.word[words.count++] = std::string_view(start, static_cast<std::size_t>(p - start));
      if (p == end) break;
      start = p + 1;
    }
    return words;
  }

  void Rapid(const Words& words) {
    if (words.word[0] != "G0" || words.Of('Z') != "0" || words.count != 4 ||
        words.Of('X').empty() || words.Of('Y').empty()) {
      Fail("the first move is not a rapid at Z 0");
    }
    Value(words.Of('X'));
    Value(words.Of('Y'));
    path_.startX = words.Of('X');
    path_.startY = words.Of('Y');
    x_ = path_.startX;
    y_ = path_.startY;
  }

  void Plunge(const Words& words) {
    if (words.word[0] != "G1" || words.count != 2 || words.Of('Z').empty()) {
      Fail("the second move is not a plunge");
    }
    path_.depth = Value(words.Of('Z'));
    // How many passes it takes is known, and checked, before anything is written.
    path_.depths.emplace(path_.depth, settings_.stepDown);
    if (head_) WriteHead();
    WriteApproach();
    const double bottom = path_.depths->Z(1);
    if (settings_.entry == Entry::Ramp && bottom < 0.0) {
      // Down along the path instead, once its first cuts are known.
      ramp_.emplace(Ramp{0.0, bottom, {}, {}, 0.0});
      return;
    }
    WritePlunge(bottom);
    KeepCutsForLaterPasses();
  }

  // Straight down to `z`, at the plunge feed.
  void WritePlunge(double z) { out_.Word("G1").Word('Z', z).Feed(settings_.plungeFeed).End(); }

  // From here on, what the pass writes is cut again by every later pass.
  void KeepCutsForLaterPasses() {
    if (path_.depths->count() > 1) out_.Keep(path_.cuts);
  }

  void WriteHead() {
    out_.Word("( " + std::string(comment_) + " )").End();
    out_.Word(settings_.units == Units::Inches ? "G20" : "G21").Word("G90 G17 G94 G91.1").End();
    if (settings_.spindle) out_.Word("M3").Word('S', *settings_.spindle).End();
  }

  // To the path's start at the clearance height, and down to the work surface.
  void WriteApproach() {
    // Up to the clearance height first: where the tool stands before is not known, or is down
    // at the end of the pass before.
    out_.Word("G0").Word('Z', settings_.safeZ).End();
    out_.Word("G0").Word('X', path_.startX).Word('Y', path_.startY).End();
    out_.Word("G0").Word('Z', ZeroHeight).End();
  }

  // A straight cut, "G1 X… Y…", "G1 X…" or "G1 Y…": one look at its one or two words, and the
  // tool's position where it ends. Returns the blanks between its words.
  std::size_t MoveStraight(std::string_view text) {
    // Lines are short: a look at each character is quicker than a call to find one.
    std::size_t blank = 4;
    while (blank < text.size() && text[blank] != ' ') ++blank;
    const std::string_view first = text.substr(4, blank - 4);
    std::string_view second;
    if (blank < text.size()) {
      if (text[3] != 'X' || blank + 2 >= text.size() || text[blank + 1] != 'Y' ||
          text.find(' ', blank + 1) != std::string_view::npos) {
        Fail("a word a program does not write");
      }
      second = text.substr(blank + 2);
    }
    if (text[3] == 'X') {
      x_ = first;
      if (!second.empty()) y_ = second;
    } else {
      y_ = first;
    }
    return second.empty() ? 1 : 2;
  }

  // One line between the plunge and the retract; true for the retract.
  bool Cut(std::string_view text) {
    const std::string_view fromX = x_, fromY = y_;
    if (text.starts_with("G1 X") || text.starts_with("G1 Y")) {
      const std::size_t blanks = MoveStraight(text);
      if (!ramp_ && !clockwise_) {
        out_.Cut(text, blanks, settings_.feed);
        return false;
      }
      HeldCut cut{std::string(fromX),
                  std::string(fromY),
                  std::string(x_),
                  std::string(y_),
                  std::nullopt,
                  {},
                  {},
                  std::string(text),
                  blanks};
      if (ramp_) {
        // A ramp measures what it runs along.
        cut.from = {Value(fromX), Value(fromY), path_.depth};
        cut.to = {Value(x_), Value(y_), path_.depth};
      }
      Route(std::move(cut));
      return false;
    }
    const Words words = Split(text);
    if (words.word[0] == "G1" && words.count == 2 && !words.Of('Z').empty()) {
      if (text != "G1 Z0") Fail("the cuts do not end with a retract to Z 0");
      if (ramp_) WriteRamp();
      ReleaseHeld(held_.size());
      out_.StopKeeping();
      path_.feedAfterCuts = out_.feed();
      path_.endsWhereItBegins = x_ == path_.startX && y_ == path_.startY;
      return true;
    }
    const std::string_view toX = words.Of('X'), toY = words.Of('Y');
    const std::string_view i = words.Of('I'), j = words.Of('J');
    const std::size_t count = 1 + (toX.empty() ? 0 : 1) + (toY.empty() ? 0 : 1) +
                              (i.empty() ? 0 : 1) + (j.empty() ? 0 : 1);
    if (words.word[0] != "G3" || toX.empty() || words.count != count) {
      Fail("a line a program does not write between its plunge and its retract");
    }
    if (!i.empty()) centerX_ = Value(i);
    if (!j.empty()) centerY_ = Value(j);
    if (std::isnan(centerX_) || std::isnan(centerY_)) Fail("an arc without a centre");
    const std::string_view arcY = toY.empty() ? y_ : toY;
    const ToolMove arc{MoveKind::ArcCounterClockwise,
                       {Value(x_), Value(y_), path_.depth},
                       {Value(toX), Value(arcY), path_.depth},
                       centerX_,
                       centerY_,
                       number_};
    if (ArcRadius(arc) > 0.0) {
      HeldCut cut{std::string(fromX),
                  std::string(fromY),
                  std::string(toX),
                  std::string(arcY),
                  CenterBetweenEnds(arc),
                  arc.from,
                  arc.to,
                  {},
                  0};
      Route(std::move(cut));
    }
    x_ = toX;
    y_ = arcY;
    return false;
  }

  // Where a cut goes: to a ramp still being gathered, to a conventional pass's held cuts, or out.
  void Route(HeldCut cut) {
    if (ramp_) {
      Collect(std::move(cut));
    } else if (clockwise_) {
      Hold(std::move(cut));
    } else if (!cut.center) {
      out_.Cut(cut.words, cut.blanks, settings_.feed);
    } else {
      WriteArc(cut, false);
    }
  }

  // Holds a cut; once the tool is back where a held cut began, the cuts from there on are a
  // closed path (an outline, a ring), which goes out the other way round, clockwise. The cuts
  // before it (the stroke, the step out to the ring) go out as they are.
  void Hold(HeldCut cut) {
    held_.push_back(std::move(cut));
    const HeldCut& last = held_.back();
    // A cut that ends where it begins closes nothing: it is a degenerate side of its ring.
    if (last.fromX == last.toX && last.fromY == last.toY) return;
    for (std::size_t first = 0; first < held_.size(); ++first) {
      if (held_[first].fromX != last.toX || held_[first].fromY != last.toY) continue;
      ReleaseHeld(first);
      for (std::size_t k = held_.size(); k-- > 0;) WriteReversed(held_[k]);
      held_.clear();
      return;
    }
  }

  // The cuts a ramping pass begins with, held until the ramp along them is known: from the top
  // of what is left down to the pass's depth.
  struct Ramp {
    double top, bottom;
    std::vector<HeldCut> cuts;
    std::vector<PathCut> geometry;  // of the cuts
    double length;                  // of the cuts, in the XY plane
  };

  static PathCut GeometryOf(const HeldCut& cut) { return {cut.from, cut.to, cut.center}; }

  // Holds a cut of a ramping pass; writes the ramp as soon as the cuts held are all it can use.
  void Collect(HeldCut cut) {
    ramp_->geometry.push_back(GeometryOf(cut));
    ramp_->length += CutLength(ramp_->geometry.back());
    ramp_->cuts.push_back(std::move(cut));
    if (EnoughToRamp(ramp_->geometry, ramp_->length,
                     RampRun(ramp_->top, ramp_->bottom, settings_.rampAngle))) {
      WriteRamp();
    }
  }

  // The ramp, then the cuts it ran along, cut at the pass's depth as every other cut.
  void WriteRamp() {
    Ramp ramp = std::move(*ramp_);
    ramp_.reset();
    WriteDescent(ramp.cuts, ramp.top, ramp.bottom);
    KeepCutsForLaterPasses();
    if (path_.depths->count() > 1) path_.rampCuts = ramp.cuts;
    for (HeldCut& cut : ramp.cuts) Route(std::move(cut));
  }

  // Down from `top` to `bottom` along `cuts`, which begin where the pass does: a ramp, or a
  // plunge where they are too short for one.
  void WriteDescent(const std::vector<HeldCut>& cuts, double top, double bottom) {
    std::vector<PathCut> geometry;
    for (const HeldCut& cut : cuts) geometry.push_back(GeometryOf(cut));
    const auto asWritten = [](double value) { return CoordValue(FormatCoord(value)).value(); };
    const std::vector<RampStep> steps = PlanRamp(
        geometry, top, bottom, RampRun(top, bottom, settings_.rampAngle), clockwise_, asWritten);
    for (const RampStep& step : steps) WriteRampStep(cuts[step.cut], step);
    if (!steps.empty()) return;
    WritePlunge(bottom);
    if (!path_.toldTooShortToRamp && notice_) {
      notice_("The path that starts at X" + path_.startX + " Y" + path_.startY +
              " is too short to ramp down at " + FormatCoord(settings_.rampAngle) +
              " degrees; the tool plunges there.");
    }
    path_.toldTooShortToRamp = true;
  }

  void WriteRampStep(const HeldCut& cut, const RampStep& step) {
    if (cut.center) {
      WriteArc(cut, step.reversed, step.z);
      return;
    }
    out_.Word("G1");
    if (step.reversed) {
      out_.Word('X', cut.fromX).Word('Y', cut.fromY);
    } else if (step.end) {
      out_.Word('X', step.end->x).Word('Y', step.end->y);
    } else {
      out_.Word('X', cut.toX).Word('Y', cut.toY);
    }
    out_.Word('Z', step.z).Feed(settings_.plungeFeed).End();
  }

  // Writes the first `count` held cuts as the program made them, and lets them go.
  void ReleaseHeld(std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
      const HeldCut& cut = held_[k];
      if (cut.center) {
        WriteArc(cut, false);
      } else {
        out_.Word("G1").Word('X', cut.toX).Word('Y', cut.toY).Feed(settings_.feed).End();
      }
    }
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(count));
  }

  void WriteReversed(const HeldCut& cut) {
    if (cut.center) {
      WriteArc(cut, true);
    } else {
      out_.Word("G1").Word('X', cut.fromX).Word('Y', cut.fromY).Feed(settings_.feed).End();
    }
  }

  // An arc with its centre relative to where it starts: counter-clockwise from its start to its
  // end, or, reversed, clockwise from its end back to its start about the same centre.
  // With a `z`, the arc is a piece of a ramp's helix, coming down to it at the plunge feed.
  void WriteArc(const HeldCut& arc, bool reversed, std::optional<double> z = std::nullopt) {
    const ToolPoint& start = reversed ? arc.to : arc.from;
    out_.Word(reversed ? "G2" : "G3")
        .Word('X', reversed ? arc.fromX : arc.toX)
        .Word('Y', reversed ? arc.fromY : arc.toY);
    if (z) out_.Word('Z', *z);
    out_.Word("I" + FormatCenterOffset(arc.center->x - start.x));
    out_.Word("J" + FormatCenterOffset(arc.center->y - start.y))
        .Feed(z ? settings_.plungeFeed : settings_.feed)
        .End();
  }

  std::vector<HeldCut> held_;
  std::optional<Ramp> ramp_;

  Path& path_;
  const MachineSettings& settings_;
  ControllerLines& out_;
  const ControllerNotice& notice_;
  bool head_;
  // The window's programs run every closed path counter-clockwise; this pass runs them the other
  // way round.
  bool clockwise_;
  State state_ = State::Comment;
  int number_ = 0;
  std::string comment_;
  // The tool's position as the program writes it: views into the line just read, copied into
  // the strings below only when the text they view is about to go.
  std::string_view x_, y_;
  std::string xKept_, yKept_;
  double centerX_ = std::nan(""), centerY_ = std::nan("");
};

// Calls `line` with each line of a program's text, without its CR LF.
template <class Line>
void ForEachLine(std::string_view text, Line line) {
  int number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos) throw ProgramFormatError(number, "no CR LF at the end");
    line(text.substr(0, end));
    text.remove_prefix(end + 2);
  }
}

}  // namespace

// The controller's program of one program text, written as the text arrives: the first pass
// line by line, the later ones from the text kept for them.
class ControllerProgram {
 public:
  ControllerProgram(const MachineSettings& settings, std::unique_ptr<ByteSink> destination,
                    std::string finishingPass, bool outside, ControllerNotice notice)
      : settings_(settings),
        outside_(outside),
        writer_(std::move(destination), ProgramWriter::LineEnd::Lf),
        out_(settings_, writer_),
        notice_(std::move(notice)),
        finishingPass_(std::move(finishingPass)) {}

  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      if (partial_.empty() && first_.PassesStraightCuts()) {
        bytes.remove_prefix(first_.PassStraightCuts(bytes));
        if (bytes.empty()) break;
      }
      const std::size_t lineEnd = bytes.find('\n');
      if (lineEnd == std::string_view::npos) {
        partial_ += bytes;
        break;
      }
      std::string_view line = bytes.substr(0, lineEnd + 1);
      if (!partial_.empty()) {
        partial_ += line;
        line = partial_;
      }
      if (!line.ends_with("\r\n")) {
        throw ProgramFormatError(first_.lines() + 1, "no CR LF at the end");
      }
      first_.Line(line.substr(0, line.size() - 2));
      if (!partial_.empty()) first_.KeepPosition();
      partial_.clear();
      bytes.remove_prefix(lineEnd + 1);
    }
    first_.KeepPosition();
  }

  void Finish() {
    if (!partial_.empty()) throw ProgramFormatError(first_.lines() + 1, "no CR LF at the end");
    first_.End();
    for (long long pass = 2; pass <= path_.depths->count(); ++pass) {
      if (!path_.endsWhereItBegins) {
        // Back to the start over the work, and down to the top of what is left.
        out_.Word("G0").Word('Z', settings_.safeZ).End();
        out_.Word("G0").Word('X', path_.startX).Word('Y', path_.startY).End();
        out_.Word("G0").Word('Z', path_.depths->Z(pass - 1)).End();
      }
      first_.CutAgain(pass);
    }
    if (!finishingPass_.empty()) WriteFinishingPass();
    out_.Word("G0").Word('Z', settings_.safeZ).End();
    if (settings_.spindle) out_.Word("M5").End();
    out_.Word("M30").End();
    writer_.Close();
  }

 private:
  MachineSettings settings_;
  bool outside_;
  ProgramWriter writer_;
  ControllerLines out_;
  Path path_;
  // Once along the wall at full depth, whatever the step-down.
  void WriteFinishingPass() {
    MachineSettings wholeDepth = settings_;
    wholeDepth.stepDown.reset();
    Path wall;
    PassTranslator pass(wall, wholeDepth, outside_, out_, notice_, false);
    ForEachLine(finishingPass_, [&](std::string_view line) { pass.Line(line); });
    pass.End();
  }

  ControllerNotice notice_;
  PassTranslator first_{path_, settings_, outside_, out_, notice_};
  std::string finishingPass_;
  std::string partial_;  // a line not yet complete
};

std::string_view DialectName(Dialect dialect) {
  switch (dialect) {
    case Dialect::Din:
      return "din";
    case Dialect::LinuxCnc:
      return "LinuxCNC";
    case Dialect::Grbl:
      return "GRBL";
  }
  return "";
}

std::size_t LongestLine(Dialect dialect) {
  // LinuxCNC's interpreter refuses a line of 253 characters and more ("Command too long"). GRBL
  // keeps one byte of its 80-byte line buffer for the end of the line, and answers a line of 80
  // counted characters with error 11.
  return dialect == Dialect::Grbl ? 79 : 252;
}

bool CutsClockwise(Direction direction, bool outside) {
  // With a clockwise spindle, climb milling keeps the material on the cutter's right: inside a
  // contour that is counter-clockwise, round the outside of a part clockwise.
  return (direction == Direction::Conventional) != outside;
}

double DefaultSafeZ(Units units) {
  return units == Units::Inches ? 0.2 : 5.0;
}

void WriteControllerProgram(std::string_view dinProgram, const MachineSettings& settings,
                            std::unique_ptr<ByteSink> destination) {
  ControllerProgram program(settings, std::move(destination), {}, false, {});
  program.Write(dinProgram);
  program.Finish();
}

ControllerProgramSink::ControllerProgramSink(const MachineSettings& settings,
                                             std::unique_ptr<ByteSink> destination,
                                             std::string finishingPass, bool outside,
                                             ControllerNotice notice)
    : program_(std::make_unique<ControllerProgram>(
          settings, std::move(destination), std::move(finishingPass), outside, std::move(notice))) {
}

ControllerProgramSink::~ControllerProgramSink() = default;

void ControllerProgramSink::Write(std::string_view bytes) {
  program_->Write(bytes);
}

void ControllerProgramSink::Finish() {
  program_->Finish();
}

}  // namespace quorrel
