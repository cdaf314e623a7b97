#include "gcode/controller_program.h"

#include <cmath>
#include <optional>

#include "gcode/job_refusal.h"
#include "gcode/number_text.h"
#include "gcode/program_reader.h"

namespace quorrel {
namespace {

bool SameXY(const ToolPoint& a, const ToolPoint& b) {
  return a.x == b.x && a.y == b.y;
}

[[noreturn]] void NotOnePass(const ToolMove& move, const char* problem) {
  throw ProgramFormatError(move.line, problem);
}

// What every program the window saves begins with: a rapid to the start at Z 0, then a plunge to
// the depth. `reader` is left at the first cut.
struct PassStart {
  ToolPoint start;
  double depth;
};

PassStart ReadPassStart(ProgramMoveReader& reader) {
  ToolMove move{};
  if (!reader.Next(move) || move.kind != MoveKind::Rapid || move.to.z != 0.0) {
    NotOnePass(move, "the first move is not a rapid at Z 0");
  }
  const ToolPoint start = move.to;
  if (!reader.Next(move) || move.kind != MoveKind::Feed || !SameXY(move.from, move.to)) {
    NotOnePass(move, "the second move is not a plunge");
  }
  return {start, move.to.z};
}

// The depth of each pass, in thousandths below the work surface: whole steps of the step-down,
// the last pass at the depth itself.
class PassDepths {
 public:
  /// Raises JobRefused for more than kMostPasses passes, or a step-down below a thousandth.
  PassDepths(double depth, std::optional<double> stepDown) : depth_(depth) {
    if (!stepDown || !(depth < 0.0)) return;
    // The largest whole number of thousandths that does not cut deeper than asked.
    double step = std::round(*stepDown * 1000.0);
    if (step / 1000.0 > *stepDown) step -= 1.0;
    if (step < 1.0) {
      throw JobRefused("A step-down below a thousandth cuts nothing. Nothing was written.");
    }
    // Counted in doubles first: a depth far beyond any machine must not overflow the count.
    const double passes = std::ceil(std::round(-depth * 1000.0) / step);
    if (passes > static_cast<double>(kMostPasses)) {
      throw JobRefused("A step-down of " + FormatCoord(step / 1000.0) + " needs " +
                       FormatNumberPlain(passes, ".") +
                       " passes to reach the depth, more than the " + std::to_string(kMostPasses) +
                       " a program may cut. Nothing was written.");
    }
    step_ = static_cast<long long>(step);
    passes_ = static_cast<long long>(passes);
  }

  long long count() const { return passes_; }
  /// The Z of pass `k`, counted from 1.
  double Z(long long k) const {
    return k == passes_ ? depth_ : -static_cast<double>(k * step_) / 1000.0;
  }

 private:
  double depth_;
  long long step_ = 0;
  long long passes_ = 1;
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
  ControllerLines& Feed(double feed) {
    if (feed_ != feed) Word('F', feed);
    feed_ = feed;
    return *this;
  }
  void End() {
    std::size_t counted = line_.size();
    if (settings_.dialect == Dialect::Grbl && counted > LongestLine(settings_.dialect)) {
      // GRBL counts neither blanks nor comments.
      counted = 0;
      int depth = 0;
      for (char c : line_) {
        depth += c == '(' ? 1 : 0;
        if (depth == 0 && c != ' ') ++counted;
        depth -= c == ')' && depth > 0 ? 1 : 0;
      }
    }
    if (counted > LongestLine(settings_.dialect)) {
      throw JobRefused(std::string(DialectName(settings_.dialect)) + " reads lines of at most " +
                       std::to_string(LongestLine(settings_.dialect)) +
                       " characters, and this job needs one of " + std::to_string(counted) +
                       ". Nothing was written.");
    }
    writer_.WriteLine(ProgramLine{std::string_view(line_)});
    line_.clear();
  }

 private:
  const MachineSettings& settings_;
  ProgramWriter& writer_;
  std::string line_;
  std::optional<double> feed_;
};

// Cuts the moves between the plunge and the retract, as the program wrote them, and returns
// where they end. Each is written once the next is read, so that the last, the retract to Z 0,
// is known as such. An arc of radius 0 (the tool exactly fills the circle) is left out: the
// plunge alone cuts that hole.
ToolPoint WriteCuts(ProgramMoveReader& reader, double depth, double feed, ControllerLines& lines) {
  ToolMove pending{};
  if (!reader.Next(pending)) NotOnePass(pending, "the program ends at its plunge");
  std::string_view x = reader.xText(), y = reader.yText();
  for (ToolMove move{}; reader.Next(move);) {
    if (pending.kind == MoveKind::Rapid || pending.from.z != depth || pending.to.z != depth) {
      NotOnePass(pending, "a move away from the depth before the retract");
    }
    if (!IsArc(pending)) {
      lines.Word("G1").Word('X', x).Word('Y', y).Feed(feed).End();
    } else if (ArcRadius(pending) > 0.0) {
      const ToolPoint center = CenterBetweenEnds(pending);
      lines.Word("G3").Word('X', x).Word('Y', y);
      lines.Word("I" + FormatCenterOffset(center.x - pending.from.x));
      lines.Word("J" + FormatCenterOffset(center.y - pending.from.y)).Feed(feed).End();
    }
    pending = move;
    x = reader.xText();
    y = reader.yText();
  }
  if (!reader.ended()) NotOnePass(pending, "no M30 end line");
  if (pending.kind != MoveKind::Feed || pending.to.z != 0.0 || !SameXY(pending.from, pending.to)) {
    NotOnePass(pending, "the program does not end with a retract to Z 0");
  }
  return pending.from;
}

}  // namespace

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
  // LinuxCNC's interpreter refuses a line of 253 characters and more ("Command too long").
  return dialect == Dialect::Grbl ? 80 : 252;
}

double DefaultSafeZ(Units units) {
  return units == Units::Inches ? 0.2 : 5.0;
}

void WriteControllerProgram(std::string_view dinProgram, const MachineSettings& settings,
                            ProgramWriter& writer) {
  ProgramMoveReader reader(dinProgram);
  const PassStart pass = ReadPassStart(reader);
  const PassDepths depths(pass.depth, settings.stepDown);
  ControllerLines lines(settings, writer);
  lines.Word("( " + reader.comment() + " )").End();
  lines.Word(settings.units == Units::Inches ? "G20" : "G21").Word("G90 G17 G94 G91.1").End();
  if (settings.spindle) lines.Word("M3").Word('S', *settings.spindle).End();

  // Up to the clearance height first: where the tool stands before the program is not known.
  lines.Word("G0").Word('Z', settings.safeZ).End();
  lines.Word("G0").Word('X', pass.start.x).Word('Y', pass.start.y).End();
  lines.Word("G0").Word('Z', ZeroHeight).End();
  bool endsWhereItBegins = true;
  for (long long k = 1; k <= depths.count(); ++k) {
    if (k > 1 && !endsWhereItBegins) {
      // Back to the start over the work, and down to the top of what is left.
      lines.Word("G0").Word('Z', settings.safeZ).End();
      lines.Word("G0").Word('X', pass.start.x).Word('Y', pass.start.y).End();
      lines.Word("G0").Word('Z', depths.Z(k - 1)).End();
    }
    lines.Word("G1").Word('Z', depths.Z(k)).Feed(settings.plungeFeed).End();
    // Each pass reads the program again: it is held once, as text, however many passes there are.
    ProgramMoveReader again(dinProgram);
    ReadPassStart(again);
    endsWhereItBegins =
        SameXY(WriteCuts(k == 1 ? reader : again, pass.depth, settings.feed, lines), pass.start);
  }
  lines.Word("G0").Word('Z', settings.safeZ).End();
  if (settings.spindle) lines.Word("M5").End();
  lines.Word("M30").End();
  writer.Close();
}

void ControllerProgramSink::Finish() {
  ProgramWriter writer(std::move(destination_), "\n");
  WriteControllerProgram(dinProgram_, settings_, writer);
}

}  // namespace quorrel
