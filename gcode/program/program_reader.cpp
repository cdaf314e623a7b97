#include "gcode/program/program_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace quorrel {
namespace {

constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The words of one line after its block number.
struct LineWords {
  std::optional<int> motion;  // 0, 1 or 3
  std::optional<double> x, y, z, i, j;
  std::string_view xText, yText;
  bool end = false;
};

class LineReader {
 public:
  LineReader(std::string_view line, int number) : line_(line), number_(number) {}

  [[noreturn]] void Fail(const std::string& problem) const {
    throw ProgramFormatError(number_, problem);
  }

  // "N" and digits.
  void ReadBlockNumber() {
    std::size_t end = 1;
    while (end < line_.size() && IsDigit(line_[end])) ++end;
    if (line_.empty() || line_[0] != 'N' || end == 1) Fail("no block number");
    line_.remove_prefix(end);
  }

  std::optional<std::string> ReadComment() {
    if (!line_.starts_with(" ( ")) return std::nullopt;
    if (!line_.ends_with(" )") || line_.size() < 5) Fail("unfinished comment");
    return std::string(line_.substr(3, line_.size() - 5));
  }

  LineWords ReadWords() {
    LineWords words;
    while (!line_.empty()) {
      if (line_.starts_with("  M30")) line_.remove_prefix(1);  // "N90  M30" has two blanks
      if (line_[0] != ' ') Fail("words must be separated by one blank");
      line_.remove_prefix(1);
      const std::size_t end = std::min(line_.find(' '), line_.size());
      if (end < 2) Fail("words must be separated by one blank");
      ReadWord(line_.substr(0, end), words);
      line_.remove_prefix(end);
    }
    return words;
  }

 private:
  void ReadWord(std::string_view word, LineWords& words) const {
    if (word == "M30") {
      words.end = true;
      return;
    }
    if (word == "G0" || word == "G1" || word == "G3") {
      if (words.motion) Fail("two motion words");
      words.motion = word[1] - '0';
      return;
    }
    const std::string_view number = word.substr(1);
    std::optional<double>* axis = nullptr;
    switch (word[0]) {
      case 'X':
        axis = &words.x;
        break;
      case 'Y':
        axis = &words.y;
        break;
      case 'Z':
        axis = &words.z;
        break;
      case 'I':
        axis = &words.i;
        break;
      case 'J':
        axis = &words.j;
        break;
      default:
        Fail("unknown word \"" + std::string(word) + "\"");
    }
    if (*axis) Fail("axis word given twice");
    *axis = CoordValue(number);
    if (!*axis) Fail("number text \"" + std::string(number) + "\" is not a coordinate");
    if (word[0] == 'X') words.xText = number;
    if (word[0] == 'Y') words.yText = number;
  }

  std::string_view line_;
  int number_;
};

}  // namespace

// Up to 15 digits the text is a whole number of thousandths, and that count divided by 1000 is
// the correctly rounded value, as from_chars would give it.
std::optional<double> CoordValue(std::string_view text) {
  if (text == "0") return 0.0;
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  if (p == end || *p == '0') return std::nullopt;  // no leading zero, and "-0" is never written
  std::uint64_t count = 0;  // wraps harmlessly past 19 digits, where it is not used
  int digits = 0;
  for (; p != end && IsDigit(*p); ++p, ++digits)
    count = count * 10 + static_cast<unsigned>(*p - '0');
  int decimals = 0;
  if (p != end) {
    if (*p != '.') return std::nullopt;
    for (++p; p != end && IsDigit(*p); ++p, ++decimals) {
      count = count * 10 + static_cast<unsigned>(*p - '0');
    }
    if (p != end || decimals == 0 || decimals > 3 || p[-1] == '0') return std::nullopt;
  }
  digits += decimals;
  if (digits > 15) {
    double value = 0.0;
    std::from_chars(text.data(), end, value);
    return value;
  }
  for (; decimals < 3; ++decimals) count *= 10;
  const double value = static_cast<double>(count) / 1000.0;
  return negative ? -value : value;
}

bool IsCoordText(std::string_view text) {
  return CoordValue(text).has_value();
}

ProgramMoveReader::ProgramMoveReader(std::string_view bytes)
    : bytes_(bytes),
      position_{kUnknown, kUnknown, kUnknown},
      centerX_(kUnknown),
      centerY_(kUnknown) {}

bool ProgramMoveReader::Next(ToolMove& move) {
  while (!bytes_.empty()) {
    ++number_;
    const std::size_t end = bytes_.find("\r\n");
    if (end == std::string_view::npos) throw ProgramFormatError(number_, "no CR LF at the end");
    LineReader reader(bytes_.substr(0, end), number_);
    bytes_.remove_prefix(end + 2);
    if (ended_) reader.Fail("a line after M30");

    reader.ReadBlockNumber();
    if (auto comment = reader.ReadComment()) {
      if (number_ != 1) reader.Fail("a comment after the first line");
      comment_ = *comment;
      continue;
    }
    if (number_ == 1) reader.Fail("the first line is not a comment");
    const LineWords words = reader.ReadWords();
    if (words.end) {
      if (words.motion || words.x || words.y || words.z || words.i || words.j) {
        reader.Fail("M30 shares its line");
      }
      ended_ = true;
      continue;
    }
    if (!words.motion) reader.Fail("no motion word");
    if (*words.motion != 3 && (words.i || words.j)) reader.Fail("a centre on a straight move");

    const ToolPoint from = position_;
    position_ = {words.x.value_or(position_.x), words.y.value_or(position_.y),
                 words.z.value_or(position_.z)};
    if (words.x) xText_ = words.xText;
    if (words.y) yText_ = words.yText;
    MoveKind kind = MoveKind::Rapid;
    if (*words.motion == 1) kind = MoveKind::Feed;
    if (*words.motion == 3) {
      kind = MoveKind::ArcCounterClockwise;
      centerX_ = words.i.value_or(centerX_);
      centerY_ = words.j.value_or(centerY_);
      if (std::isnan(centerX_) || std::isnan(centerY_)) reader.Fail("an arc without a centre");
    }
    move = {kind, from, position_, centerX_, centerY_, number_};
    return true;
  }
  return false;
}

ReadBackProgram ReadProgram(std::string_view bytes) {
  ProgramMoveReader reader(bytes);
  ReadBackProgram program;
  for (ToolMove move{}; reader.Next(move);) program.moves.push_back(move);
  program.comment = reader.comment();
  program.ended = reader.ended();
  return program;
}

}  // namespace quorrel
