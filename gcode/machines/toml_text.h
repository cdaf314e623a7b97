#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace quorrel {

/// What in a settings file's text is no TOML a machinist writes by hand, and on which line: a
/// byte that is no UTF-8, a character other than ASCII outside a quoted text or a comment, a
/// quoted text over several lines (no setting needs one), an escape of a character other than
/// ASCII.
struct TomlTextProblem {
  int line;  ///< counted from 1
  std::string what;
};

/// The same TOML in ASCII alone, line for line, for the TOML reader Quorrel is built with, which
/// misreads characters other than ASCII where it looks for blanks: each such character of a
/// quoted text escaped (a literal text becomes a basic one), of a comment a blank. Or what is
/// wrong with the text. AsciiToml("name = 'Fräse'") is "name = \"Fr\\u00E4se\"".
std::variant<std::string, TomlTextProblem> AsciiToml(std::string_view text);

}  // namespace quorrel
