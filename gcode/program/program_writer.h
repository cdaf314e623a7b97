#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "gcode/numbers/checked_float.h"
#include "gcode/numbers/coord.h"
#include "gcode/numbers/number_text.h"
#include "gcode/output/byte_sink.h"

namespace quorrel {

/// A string literal's text, whose length the compiler knows: copied without a call to find it
/// or to copy it.
template <std::size_t Length>
struct LiteralText {
  // Not explicit: a string literal in a ProgramLine becomes one where the line is made.
  LiteralText(const char (&literal)[Length + 1]) : text(literal) {}

  const char* text;
};

/// One line of a program: fixed literal pieces and values, glued together with nothing in
/// between. Values are written by FormatCoord at the moment the line is written; a Float32 on its
/// own keeps at most 7 significant digits.
/// ProgramLine{"N20 G0 X", -4.5, " Y", 0.25, " Z", 0.0} is "N20 G0 Y.25 Z0".
template <class... Pieces>
struct ProgramLine {
  template <class... Given>
  explicit ProgramLine(Given&&... given) : pieces(std::forward<Given>(given)...) {}

  std::tuple<Pieces...> pieces;
};

template <class Given>
struct LinePieceOf {
  using type = std::conditional_t<std::is_convertible_v<Given, std::string_view>, std::string_view,
                                  std::decay_t<Given>>;
};
template <std::size_t Size>
struct LinePieceOf<const char (&)[Size]> {
  using type = LiteralText<Size - 1>;  // without the literal's terminating NUL
};

/// A literal piece is held with its length, known where the line is written.
template <class Given>
using LinePiece = typename LinePieceOf<Given>::type;

template <class... Given>
ProgramLine(Given&&...) -> ProgramLine<LinePiece<Given>...>;

/// " X": the blank and letter of a word, written at `p` before its number; where they end.
inline char* WriteWordStart(char* p, char letter) {
  p[0] = ' ';
  p[1] = letter;
  return p + 2;
}

/// " X-4.5": a word, its blank, letter and number as FormatCoord writes it (a Coord as the text it
/// is), written at `p`, which has room for kMaxNumberTextLength + 2 bytes; where it ends.
template <class Number>
char* WriteWord(char* p, char letter, Number value) {
  return FormatCoordTo(WriteWordStart(p, letter), value);
}

/// The open output of one program. Lines are collected in a large buffer, so
/// the sink sees few, large writes. Close flushes and completes the sink; a writer that is
/// destroyed without Close abandons the program, and a file's destination stays as it was.
class ProgramWriter {
 public:
  /// How lines end: CR LF as the window's programs have them, or LF as controllers' programs.
  enum class LineEnd { CrLf, Lf };

  explicit ProgramWriter(std::unique_ptr<ByteSink> sink, LineEnd lineEnd = LineEnd::CrLf);
  ProgramWriter(const ProgramWriter&) = delete;
  ProgramWriter& operator=(const ProgramWriter&) = delete;

  /// A writer on the file at `path`, which its program replaces only once it is complete (see
  /// OpenProgramDestination). Raises OutputError when it cannot be written.
  static ProgramWriter Open(const std::string& path);
  ProgramWriter(ProgramWriter&&) = default;

  template <class... Pieces>
  void WriteLine(const ProgramLine<Pieces...>& line) {
    std::apply([this](const auto&... piece) { (this->Append(piece), ...); }, line.pieces);
    EndLine();
  }

  /// A line piece by piece: text, a number's text, then EndLine.
  void Append(std::string_view text) {
    if (kCapacity - used_ >= text.size()) {
      std::memcpy(buffer_.get() + used_, text.data(), text.size());
      used_ += text.size();
      return;
    }
    AppendInParts(text);
  }
  template <std::size_t Length>
  void Append(LiteralText<Length> literal) {
    static_assert(Length < kCapacity);
    MakeRoom(Length);
    std::memcpy(buffer_.get() + used_, literal.text, Length);
    used_ += Length;
  }
  void Append(char c) {
    MakeRoom(1);
    buffer_[used_++] = c;
  }
  /// A whole number, as a block number is written.
  void Append(unsigned number);
  void Append(Coord value);
  void Append(Float64 value);
  void Append(double value) { Append(Float64(value)); }
  void Append(Float32 value);
  /// Room for a line of at most `most` bytes, to be written straight into the buffer from the
  /// pointer returned; EndLineAt ends the line where it was written up to.
  char* LineRoom(std::size_t most) {
    MakeRoom(most + 2);
    return buffer_.get() + used_;
  }
  void EndLineAt(char* end) {
    if (lineEnd_ == LineEnd::CrLf) *end++ = '\r';
    *end++ = '\n';
    used_ = static_cast<std::size_t>(end - buffer_.get());
    if (used_ >= kFlushThreshold) Flush();
  }
  void EndLine() {
    MakeRoom(2);
    if (lineEnd_ == LineEnd::CrLf) buffer_[used_++] = '\r';
    buffer_[used_++] = '\n';
    if (used_ >= kFlushThreshold) Flush();
  }

  /// Writes what is buffered and completes the sink. Raises OutputError when bytes were lost.
  /// Later calls do nothing.
  void Close();

 private:
  static constexpr std::size_t kCapacity = 256 * 1024;
  static constexpr std::size_t kFlushThreshold = kCapacity - 4096;

  void MakeRoom(std::size_t bytes) {
    if (kCapacity - used_ < bytes) Flush();
  }
  // Copies text of any length through the buffer.
  void AppendInParts(std::string_view text);
  void Flush();

  std::unique_ptr<ByteSink> sink_;
  LineEnd lineEnd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  bool closed_ = false;
};

}  // namespace quorrel
