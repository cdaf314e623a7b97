#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#define TOML_HEADER_ONLY 1
#include <toml++/toml.h>

namespace quorrel {

/// The whole of a settings file (a machines file, a job file), or nothing when it is not there.
/// Raises std::runtime_error with the system's reason where it cannot be read, or is larger than
/// any such file by far (1 MB).
std::optional<std::string> ReadSettingsFile(const std::string& path);

/// What is wrong with a settings file's text as TOML, and on which line.
struct TomlFault {
  int line;  ///< counted from 1
  std::string what;
};

/// A settings file's text read as TOML a machinist writes by hand (see AsciiToml), or what is
/// wrong with it; `path` names it in the reader's messages.
std::variant<toml::table, TomlFault> ParseSettingsToml(std::string_view text,
                                                       const std::string& path);

/// A value as its text: a word, or a number as the machinist wrote it ("12", "-0.5", "true").
/// Nothing for a value that is neither (a table, a list, a date).
std::optional<std::string> TomlValueText(const toml::node& value);

/// A TOML basic string of `text`, quotes and all.
std::string TomlQuoted(std::string_view text);

/// The line a value or table stands on.
inline int LineOf(const toml::node& node) {
  return static_cast<int>(node.source().begin.line);
}

}  // namespace quorrel
