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
#include "gcode/output/byte_sink.h"

namespace quorrel {

/// The Z of every approach and retract; written like any coordinate, as "0".
inline constexpr double ZeroHeight = 0.0;

/// A field text copied into a comment line. CR, LF, "(" and ")" are written as blanks, so that
/// no typed text can end the comment or the line; every other byte is copied as typed.
struct CommentText {
  std::string_view text;
};

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
/// ProgramLine{"N20 G0 X", -4.5, " Y", 0.25, " Z", ZeroHeight} is "N20 G0 Y.25 Z0".
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
    MakeRoom(2);
    if (lineEnd_ == LineEnd::CrLf) buffer_[used_++] = '\r';
    buffer_[used_++] = '\n';
    if (used_ >= kFlushThreshold) Flush();
  }

  /// Writes whole lines, line ends included, as they stand: lines written once and kept.
  void WriteLines(std::string_view lines);

  /// How many bytes were written so far.
  std::uint64_t Position() const { return handedOn_ + used_; }
  /// Whether WriteAgain can be used: the sink can read back what it was given.
  bool CanWriteAgain() const { return sink_->CanWriteAgain(); }
  /// Writes again the bytes written from Position `from` up to Position `to`.
  void WriteAgain(std::uint64_t from, std::uint64_t to);

  /// Writes what is buffered and completes the sink. Raises OutputError when bytes were lost.
  /// Later calls do nothing.
  void Close();

 private:
  static constexpr std::size_t kCapacity = 256 * 1024;
  static constexpr std::size_t kFlushThreshold = kCapacity - 4096;

  void Append(std::string_view literal) {
    if (kCapacity - used_ >= literal.size()) {
      std::memcpy(buffer_.get() + used_, literal.data(), literal.size());
      used_ += literal.size();
      return;
    }
    AppendInParts(literal, [](char c) { return c; });
  }
  template <std::size_t Length>
  void Append(LiteralText<Length> literal) {
    static_assert(Length < kCapacity);
    MakeRoom(Length);
    std::memcpy(buffer_.get() + used_, literal.text, Length);
    used_ += Length;
  }
  void Append(Float64 value);
  void Append(double value) { Append(Float64(value)); }
  void Append(Float32 value);
  void Append(CommentText comment);
  void MakeRoom(std::size_t bytes) {
    if (kCapacity - used_ < bytes) Flush();
  }

  // Copies text of any length through the buffer, byte by byte through `copy`.
  template <class CopyByte>
  void AppendInParts(std::string_view text, CopyByte copy) {
    while (!text.empty()) {
      MakeRoom(text.size() < kCapacity ? text.size() : kCapacity);
      const std::size_t room = kCapacity - used_;
      const std::size_t part = text.size() < room ? text.size() : room;
      char* const out = buffer_.get() + used_;
      for (std::size_t i = 0; i < part; ++i) out[i] = copy(text[i]);
      used_ += part;
      text.remove_prefix(part);
    }
  }
  void Flush();

  std::unique_ptr<ByteSink> sink_;
  LineEnd lineEnd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  std::uint64_t handedOn_ = 0;  // to the sink
  bool closed_ = false;
};

}  // namespace quorrel
