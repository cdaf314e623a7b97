#include "gcode/program/controller_writer.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "gcode/job/job_refusal.h"
#include "gcode/numbers/number_text.h"
#include "gcode/strategy/drill_cycle.h"

namespace quorrel {
namespace {

bool IsRealTimeCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return c == '!' || c == '~' || c == '?' || byte == 0x18 || byte >= 0x80;
}

// The longest move line: six numbers and their words, each with a point moved.
constexpr std::size_t kLongestMoveLine = 24 + 6 * (kMaxNumberTextLength + 1);

}  // namespace

bool IsActiveComment(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return false;
  std::size_t end = start;
  std::string word;
  while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])) != 0) {
    word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[end++])));
  }
  if (end == text.size() || (text[end] != ',' && text[end] != ' ')) return false;
  return word == "MSG" || word == "DEBUG" || word == "PRINT" || word.starts_with("LOG") ||
         word.starts_with("PROBE");
}

ControllerWriter::ControllerWriter(const MachineSettings& settings, ProgramWriter& writer)
    : settings_(&settings),
      rules_(ProfileOf(settings.dialect)),
      tenths_(ProgramUnits::Of(settings).tenths()),
      writer_(writer) {}

void ControllerWriter::Line(std::string_view text, std::size_t counted, int sourceLine) {
  Check(counted, sourceLine);
  writer_.Append(text);
  writer_.EndLine();
}

void ControllerWriter::Refuse(std::size_t counted, int sourceLine) const {
  throw JobRefused(
      std::string(rules_.name) + " reads lines of at most " + std::to_string(rules_.longestLine) +
      " characters, and this job needs one of " + std::to_string(counted) +
      (sourceLine > 0
           ? " (for line " + std::to_string(sourceLine) + " of the program it was made from)"
           : "") +
      ".");
}

void ControllerWriter::Comment(const std::string& text) {
  std::string comment = "( " + text + " )";
  if (rules_.actsOnRealTimeCharacters) {
    for (char& c : comment) {
      if (IsRealTimeCharacter(c)) c = ' ';
    }
  }
  if (rules_.actsOnActiveComments && IsActiveComment(text)) {
    throw JobRefused("The title \"" + text + "\" is a comment " + std::string(rules_.name) +
                     " would act on.");
  }
  Line(comment, rules_.countsBlanksAndComments ? comment.size() : 0, 0);
}

// Counted as the controller counts a line of words: every character, or those that are no blank.
std::size_t ControllerWriter::Counted(std::string_view words) const {
  if (rules_.countsBlanksAndComments) return words.size();
  return words.size() - static_cast<std::size_t>(std::count(words.begin(), words.end(), ' '));
}

void ControllerWriter::Title(const ProgramTitle& title) {
  // A job's operations each bring their title; the job's own came first.
  if (titled_) return;
  titled_ = true;
  Comment(title.text);
  const std::string setUp =
      (settings_->units == Units::Inches ? "G20 " : "G21 ") + std::string(rules_.setUp);
  Line(setUp, Counted(setUp), 0);
  if (!job_) StartSpindle();
}

void ControllerWriter::StartSpindle() {
  const std::optional<double> speed = settings_->spindle;
  if (speed == spindle_) return;
  if (!speed) {
    Line("M5", 2, 0);
  } else {
    const std::string spindle = "M3 S" + FormatCoord(*speed);
    Line(spindle, Counted(spindle), 0);
    // Neither controller waits for the spindle to reach speed before the first cut.
    if (settings_->spindleDelay) Dwell(*settings_->spindleDelay, 0);
  }
  spindle_ = speed;
}

void ControllerWriter::StartOperation(const MachineSettings& settings, int number,
                                      const std::string& title, std::optional<int> tool) {
  if (inCycle_) EndCycle();
  Comment("operation " + std::to_string(number) + ": " + title);
  settings_ = &settings;
  if (tool) {
    // The operation before it ended at its clearance height.
    if (spindle_) Line("M5", 2, 0);
    spindle_.reset();
    const std::string cutter = std::to_string(*tool);
    if (rules_.changesTools) {
      const std::string change = "T" + cutter + " M6";
      Line(change, Counted(change), 0);
      const std::string offset = "G43 H" + cutter;
      Line(offset, Counted(offset), 0);
    } else {
      // No tool changer: the machinist fits the tool, sets Z zero on it and starts again.
      Comment("fit tool " + cutter + " and set Z zero on it, then cycle start");
      Line("M0", 2, 0);
    }
  }
  StartSpindle();
}

void ControllerWriter::Move(ToolMove& move) {
  if (move.kind == MoveKind::Drill) return Drill(move);
  if (move.kind == MoveKind::Dwell) return Dwell(move.seconds, move.line);
  if (inCycle_) EndCycle();
  if (tenths_) {
    WriteMove<true>(move);
  } else {
    WriteMove<false>(move);
  }
}

template <bool Tenths>
void ControllerWriter::WriteMove(const ToolMove& move) {
  char* const start = writer_.LineRoom(kLongestMoveLine);
  char* p = start;
  // Each word after the motion is a blank, its letter and its number; the blanks are not counted
  // where the controller drops them.
  std::size_t words = 0;
  static constexpr char kMotion[] = {'0', '1', '3', '2'};  // in the order of MoveKind
  *p++ = 'G';
  *p++ = kMotion[static_cast<std::size_t>(move.kind)];
  // A coordinate's own text; made in tenths of an inch, with its point one place further left.
  const auto coordinate = [](char* at, char letter, Coord value) {
    if constexpr (Tenths) {
      char* const number = WriteWordStart(at, letter);
      return MovePointLeft(number, FormatCoordTo(number, Coord::Of(value.value() * 10.0)));
    } else {
      return WriteWord(at, letter, value);
    }
  };
  const auto centerOffset = [](char* at, char letter, double value) {
    char* const number = WriteWordStart(at, letter);
    if constexpr (Tenths) {
      return MovePointLeft(number, FormatCenterOffsetTo(number, value * 10.0));
    } else {
      return FormatCenterOffsetTo(number, value);
    }
  };
  const bool arc = IsArc(move);
  if (arc || (move.words & kWordX) != 0) {
    p = coordinate(p, 'X', move.to.x);
    ++words;
  }
  if (arc || (move.words & kWordY) != 0) {
    p = coordinate(p, 'Y', move.to.y);
    ++words;
  }
  if ((move.words & kWordZ) != 0) {
    p = coordinate(p, 'Z', move.to.z);
    ++words;
  }
  if (arc) {
    p = centerOffset(p, 'I', move.offsetX);
    p = centerOffset(p, 'J', move.offsetY);
    words += 2;
  }
  if (move.kind != MoveKind::Rapid) {
    const double feed = move.feed == MoveFeed::Plunging ? settings_->plungeFeed : settings_->feed;
    if (feed_ != feed) {
      p = WriteWord(p, 'F', feed);
      ++words;
      feed_ = feed;
    }
  }
  const auto length = static_cast<std::size_t>(p - start);
  Check(rules_.countsBlanksAndComments ? length : length - words, move.line);
  if (keeping_ != Keeping::Off && keeping_ != Keeping::Kept) Keep(move, start, p);
  writer_.EndLineAt(p);
}

void ControllerWriter::KeepNextCuts() {
  keeping_ = Keeping::AfterPlunge;
  if (!keptCuts_) keptCuts_ = std::make_unique_for_overwrite<char[]>(kMostKeptBytes);
  keptSize_ = 0;
}

void ControllerWriter::Keep(const ToolMove& move, const char* line, const char* end) {
  if (keeping_ == Keeping::AfterPlunge) {
    if (move.role == MoveRole::Plunge) {
      keeping_ = Keeping::Cuts;
    }
    return;
  }
  const auto length = static_cast<std::size_t>(end - line);
  // A line that says Z is not the same in a pass at another depth.
  if ((move.words & kWordZ) != 0 || keptSize_ + length >= kMostKeptBytes) {
    keeping_ = Keeping::Off;
    keptCuts_.reset();
    return;
  }
  std::memcpy(keptCuts_.get() + keptSize_, line, length);
  keptSize_ += length;
  keptCuts_[keptSize_++] = '\n';
  feedAfterCuts_ = feed_;
}

void ControllerWriter::RepeatCuts() {
  writer_.Append(std::string_view(keptCuts_.get(), keptSize_));
  if (keptSize_ > 0) feed_ = feedAfterCuts_;
}

void ControllerWriter::Drill(const ToolMove& hole) {
  if (!rules_.drillingCycles) {
    // GRBL runs no drilling cycle: the same motion, move by move.
    ExpandDrill(hole, settings_->units, *this);
    return;
  }
  const bool peck = hole.offsetY > 0.0;
  const double dwell = hole.seconds;
  std::string line = inCycle_ ? "" : "G98 ";
  line += peck ? (hole.chipBreak ? "G73" : "G83") : dwell > 0.0 ? "G82" : "G81";
  char number[kMaxNumberTextLength + 1];
  const auto word = [&](char letter, double value) {
    char* const end = tenths_
                          ? MovePointLeft(number, FormatCoordTo(number, Coord::Of(value * 10.0)))
                          : FormatCoordTo(number, Coord::Of(value));
    line += ' ';
    line += letter;
    line.append(number, end);
  };
  word('X', hole.to.x);
  word('Y', hole.to.y);
  word('Z', hole.to.z);
  word('R', hole.offsetX);
  if (peck) word('Q', hole.offsetY);
  if (dwell > 0.0) line += " P" + FormatCoord(dwell);
  if (feed_ != settings_->plungeFeed) {
    feed_ = settings_->plungeFeed;
    line += " F" + FormatCoord(feed_);
  }
  inCycle_ = true;
  Line(line, line.size(), hole.line);
}

void ControllerWriter::EndCycle() {
  inCycle_ = false;
  Line("G80", 3, 0);
}

void ControllerWriter::Dwell(double seconds, int sourceLine) {
  const std::string dwell = "G4 P" + FormatCoord(seconds);
  Line(dwell, dwell.size() - (rules_.countsBlanksAndComments ? 0 : 1), sourceLine);
}

void ControllerWriter::Finish() {
  if (inCycle_) EndCycle();
  if (spindle_) Line("M5", 2, 0);
  Line("M30", 3, 0);
  writer_.Close();
}

}  // namespace quorrel
