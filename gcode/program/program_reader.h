#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "gcode/job/program_units.h"
#include "gcode/shapes/din_layout.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// A program that is not in the form Quorrel writes; the message names the line.
class ProgramFormatError : public std::runtime_error {
 public:
  ProgramFormatError(int line, const std::string& problem)
      : std::runtime_error("line " + std::to_string(line) + ": " + problem), line_(line) {}
  int line() const noexcept { return line_; }

 private:
  int line_;
};

/// Reads a program as the window writes it, in the one grammar of those programs, and hands its
/// toolpath to `sink`: the title, each move with the words it writes and what it is for (the
/// approach, the plunge, a cut, the retract), where each closed path begins and ends, and the end.
/// Every line ends with CR LF; the first is the title, "N10 ( " and the job's title, which begins
/// with its shape's words and holds no "(" or ")", and " )"; then each line as the layout of one
/// of the window's shapes has it (see DinLayout): block number, motion, the words X Y Z I J in
/// that order, numbers as FormatCoord writes them; and nothing after the M30 line. Returns the
/// layout the program followed. Raises ProgramFormatError at the first line that is anything
/// else; the sink has then been handed the lines before it. A program that ends before its M30
/// line has no End, and no layout.
const DinLayout* ReadWindowProgram(std::string_view bytes, ToolpathSink& sink);

/// Reads a program Quorrel wrote for LinuxCNC or GRBL and hands its title and moves to `sink`:
/// arcs with their centre from the start as written (I, J) and absolute; End at M30. Lines end
/// with LF. Raises ProgramFormatError at a line Quorrel does not write.
void ReadControllerProgram(std::string_view bytes, ToolpathSink& sink);

/// The units a program was made in, as its set-up line shows: a controller's inch program in
/// tenths of an inch, any other in its machine's unit (see ProgramUnits).
ProgramUnits UnitsOfProgram(std::string_view bytes);

/// Reads either kind of program, as its first line shows.
void ReadAnyProgram(std::string_view bytes, ToolpathSink& sink);

/// What a program the window saved says, read back whole.
struct ReadBackProgram {
  std::string comment;  ///< the title
  std::vector<ToolMove> moves;
  bool ended = false;                 ///< the M30 line was read
  const DinLayout* layout = nullptr;  ///< the layout its lines followed
};

/// ReadWindowProgram into memory.
ReadBackProgram ReadProgram(std::string_view bytes);

/// True when `text` is a number as FormatCoord writes it: "0", "-.25", "12.346", never "0.5",
/// "-0", "1.50" or "1e5".
bool IsCoordText(std::string_view text);

}  // namespace quorrel
