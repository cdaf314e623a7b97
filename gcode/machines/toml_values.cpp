#include "gcode/machines/toml_values.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <stdexcept>

#include "gcode/machines/toml_text.h"
#include "gcode/output/output_error.h"

namespace quorrel {
namespace {

// Far more than any machinist's settings take; a larger file is no settings file.
constexpr std::size_t kLargestFile = 1024 * 1024;

}  // namespace

std::optional<std::string> ReadSettingsFile(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    if (errno == ENOENT) return std::nullopt;
    throw std::runtime_error(SystemReason(errno));
  }
  std::string text;
  char block[16 * 1024];
  ssize_t got = 0;
  while ((got = ::read(descriptor, block, sizeof block)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || text.size() > kLargestFile) {
      const int error = got < 0 ? errno : EFBIG;
      ::close(descriptor);
      throw std::runtime_error(SystemReason(error));
    }
    text.append(block, static_cast<std::size_t>(got));
  }
  ::close(descriptor);
  return text;
}

std::variant<toml::table, TomlFault> ParseSettingsToml(std::string_view text,
                                                       const std::string& path) {
  const std::variant<std::string, TomlTextProblem> ascii = AsciiToml(text);
  if (const auto* problem = std::get_if<TomlTextProblem>(&ascii)) {
    return TomlFault{problem->line, problem->what};
  }
  try {
    return toml::parse(std::string_view(std::get<std::string>(ascii)), std::string_view(path));
  } catch (const toml::parse_error& error) {
    return TomlFault{static_cast<int>(error.source().begin.line), std::string(error.description())};
  }
}

std::optional<std::string> TomlValueText(const toml::node& value) {
  if (const auto* text = value.as_string()) return text->get();
  if (const auto* whole = value.as_integer()) return std::to_string(whole->get());
  if (const auto* yes = value.as_boolean()) return yes->get() ? "true" : "false";
  if (const auto* number = value.as_floating_point()) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, number->get()).ptr);
  }
  return std::nullopt;
}

std::string TomlQuoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      constexpr char kHex[] = "0123456789ABCDEF";
      quoted += "\\u00";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 0xF];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

}  // namespace quorrel
