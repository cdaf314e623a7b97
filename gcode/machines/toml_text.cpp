#include "gcode/machines/toml_text.h"

#include <cstdint>

namespace quorrel {
namespace {

// The UTF-8 character at the start of `text`: its code point and length, or a length of 0 where
// it is none (an overlong form, a surrogate, beyond U+10FFFF, cut short).
struct Utf8Character {
  char32_t code = 0;
  std::size_t length = 0;
};

Utf8Character CharacterAt(std::string_view text) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char first = byte(0);
  if (first < 0x80) return {first, 1};
  Utf8Character character;
  if (first >= 0xC2 && first <= 0xDF) {
    character = {static_cast<char32_t>(first & 0x1F), 2};
  } else if (first >= 0xE0 && first <= 0xEF) {
    character = {static_cast<char32_t>(first & 0x0F), 3};
  } else if (first >= 0xF0 && first <= 0xF4) {
    character = {static_cast<char32_t>(first & 0x07), 4};
  } else {
    return {};
  }
  if (text.size() < character.length) return {};
  for (std::size_t k = 1; k < character.length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return {};
    character.code = (character.code << 6) | (byte(k) & 0x3F);
  }
  const char32_t code = character.code;
  const bool overlong =
      (character.length == 3 && code < 0x800) || (character.length == 4 && code < 0x10000);
  if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return {};
  return character;
}

// A basic text's escape of the character: \u00E4, or \U0001F600 beyond the first 65536.
std::string Escaped(char32_t code) {
  constexpr char kHex[] = "0123456789ABCDEF";
  const int digits = code > 0xFFFF ? 8 : 4;
  std::string escape = digits == 8 ? "\\U" : "\\u";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) escape += kHex[(code >> shift) & 0xF];
  return escape;
}

}  // namespace

std::variant<std::string, TomlTextProblem> AsciiToml(std::string_view text) {
  enum class Inside { Nothing, BasicText, LiteralText, Comment };
  Inside inside = Inside::Nothing;
  int line = 1;
  std::string ascii;
  ascii.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    const Utf8Character character = CharacterAt(text.substr(at));
    if (character.length == 0) return TomlTextProblem{line, "a byte that is no UTF-8 character"};
    at += character.length;
    if (character.length > 1) {
      switch (inside) {
        case Inside::Nothing:
          return TomlTextProblem{line, "a character other than ASCII outside a quoted text"};
        case Inside::Comment:
          ascii += ' ';
          break;
        default:
          ascii += Escaped(character.code);
      }
      continue;
    }
    if (c == '\n') {
      ++line;
      inside = Inside::Nothing;  // a text left open there is the TOML reader's to tell
      ascii += c;
      continue;
    }
    switch (inside) {
      case Inside::Nothing:
        if (text.substr(at - 1, 3) == "\"\"\"" || text.substr(at - 1, 3) == "'''") {
          return TomlTextProblem{line, "a quoted text over several lines"};
        }
        if (c == '#') inside = Inside::Comment;
        if (c == '"') inside = Inside::BasicText;
        if (c == '\'') {
          inside = Inside::LiteralText;
          ascii += '"';  // as a basic text, in which characters other than ASCII are escaped
          continue;
        }
        break;
      case Inside::BasicText:
        if (c == '"') inside = Inside::Nothing;
        if (c == '\\' && at < text.size()) {
          if (static_cast<unsigned char>(text[at]) >= 0x80) {
            return TomlTextProblem{line, "an escape of a character other than ASCII"};
          }
          ascii += c;
          ascii += text[at++];
          continue;
        }
        break;
      case Inside::LiteralText:
        if (c == '\'') {
          inside = Inside::Nothing;
          ascii += '"';
          continue;
        }
        if (c == '"' || c == '\\') ascii += '\\';
        break;
      case Inside::Comment:
        break;
    }
    ascii += c;
  }
  return ascii;
}

}  // namespace quorrel
