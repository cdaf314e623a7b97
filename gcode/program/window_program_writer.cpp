#include "gcode/program/window_program_writer.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "gcode/numbers/number_text.h"

namespace quorrel {

void WindowProgramWriter::Title(const ProgramTitle& title) {
  writer_.WriteLine(ProgramLine{"N10 ( ", std::string_view(title.text), " )"});
}

void WindowProgramWriter::Move(ToolMove& move) {
  // A block number, a motion and five numbers at most.
  constexpr std::size_t kLongestLine = 16 + 5 * (kMaxNumberTextLength + 2);
  char* p = writer_.LineRoom(kLongestLine);
  *p++ = 'N';
  p = WriteWholeNumber(p, move.block);
  *p++ = ' ';
  *p++ = 'G';
  *p++ = move.kind == MoveKind::Rapid ? '0' : move.kind == MoveKind::Feed ? '1' : '3';
  if ((move.words & kWordX) != 0) p = WriteWord(p, 'X', move.to.x);
  if ((move.words & kWordY) != 0) p = WriteWord(p, 'Y', move.to.y);
  if ((move.words & kWordZ) != 0) p = WriteWord(p, 'Z', move.to.z);
  if ((move.words & kWordCenter) != 0) p = WriteCenter(p, move.centerX, move.centerY);
  writer_.EndLineAt(p);
}

char* WindowProgramWriter::WriteCenter(char* p, double x, double y) {
  if (std::bit_cast<std::uint64_t>(x) != std::bit_cast<std::uint64_t>(centerX_) ||
      std::bit_cast<std::uint64_t>(y) != std::bit_cast<std::uint64_t>(centerY_)) {
    // The centre of the window's program's arc is written as the coordinate it is.
    char* const start = centerText_.data();
    char* const end = WriteWord(WriteWord(start, 'I', x), 'J', y);
    centerLength_ = static_cast<std::size_t>(end - start);
    centerX_ = x;
    centerY_ = y;
  }
  std::memcpy(p, centerText_.data(), centerLength_);
  return p + centerLength_;
}

void WindowProgramWriter::End(const ProgramEnd& end) {
  writer_.Append('N');
  writer_.Append(static_cast<unsigned>(end.block));
  writer_.Append(end.twoBlanks ? std::string_view("  M30") : std::string_view(" M30"));
  writer_.EndLine();
}

}  // namespace quorrel
