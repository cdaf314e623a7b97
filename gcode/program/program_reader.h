#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "gcode/toolpath/toolpath.h"

namespace quorrel {

/// What a program says, read back.
struct ReadBackProgram {
  std::string comment;  ///< the text between "( " and " )" of the first line
  std::vector<ToolMove> moves;
  bool ended = false;  ///< an M30 line was read, and it was the last line
};

/// A program that is not in the form Quorrel writes; the message names the line.
class ProgramFormatError : public std::runtime_error {
 public:
  ProgramFormatError(int line, const std::string& problem)
      : std::runtime_error("line " + std::to_string(line) + ": " + problem), line_(line) {}
  int line() const noexcept { return line_; }

 private:
  int line_;
};

/// Reads a program written by Quorrel move by move, without holding the moves: a program of any
/// length is read in the memory of one line.
class ProgramMoveReader {
 public:
  explicit ProgramMoveReader(std::string_view bytes);

  /// The next move, or false at the end of the program. Raises ProgramFormatError as
  /// ReadProgram does.
  bool Next(ToolMove& move);

  /// The first line's text between "( " and " )", once that line was read.
  const std::string& comment() const { return comment_; }
  /// True once the M30 line was read.
  bool ended() const { return ended_; }
  /// The tool's X and Y after the last move as the program wrote them ("-.25"), for a writer
  /// that repeats them: empty before the first.
  std::string_view xText() const { return xText_; }
  std::string_view yText() const { return yText_; }

 private:
  std::string_view bytes_;
  std::string comment_;
  ToolPoint position_;
  std::string_view xText_, yText_;
  double centerX_, centerY_;
  int number_ = 0;
  bool ended_ = false;
};

/// Reads a program written by Quorrel back into the tool's moves. A missing axis word keeps its
/// value; an arc without I and J keeps the centre of the arc before it. Raises ProgramFormatError
/// for a line without CR LF, an unknown word, a number text that FormatCoord would never write,
/// or anything after the M30 line.
ReadBackProgram ReadProgram(std::string_view bytes);

/// The value of a number as FormatCoord writes it, read in one pass; nothing for any other text.
/// CoordValue("-.25") == -0.25; CoordValue("0.5") is nothing.
std::optional<double> CoordValue(std::string_view text);

/// True when `text` is a number as FormatCoord writes it: "0", "-.25", "12.346", never "0.5",
/// "-0", "1.50" or "1e5".
bool IsCoordText(std::string_view text);

}  // namespace quorrel
