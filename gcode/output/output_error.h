#pragma once

#include <stdexcept>
#include <string>
#include <system_error>

namespace quorrel {

/// The path that stands for standard output wherever a destination is named.
inline constexpr const char* kStandardOutputPath = "-";

/// How messages name a destination: `the file "/x/part.din"`, or "standard output" for "-". A
/// control character in a name (a NUL would even cut the message short) shows as "?".
inline std::string DestinationName(const std::string& path) {
  if (path == kStandardOutputPath) return "standard output";
  std::string name = path;
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return "the file \"" + name + "\"";
}

/// The system's words for an error number: "No space left on device".
inline std::string SystemReason(int error) {
  if (error == 0) return "the system reported an error";
  return std::generic_category().message(error);
}

/// Said of an OutputError raised before the destination was touched, or by a save that leaves it
/// as it was.
inline constexpr bool kDestinationUnchanged = true;

/// A program's destination that cannot be opened or written (missing folder, no permission, a
/// directory, a full disk). The message names the destination and the system's reason:
/// `The file "/x/File1.din" cannot be written: No such file or directory.`
/// `unchanged` tells that the destination still holds what it held before.
class OutputError : public std::runtime_error {
 public:
  OutputError(const std::string& destination, const std::string& reason, bool unchanged = false)
      : std::runtime_error(
            Sentence(DestinationName(destination) + " cannot be written: " + reason + ".")),
        destination_(destination),
        unchanged_(unchanged) {}

  const std::string& destination() const noexcept { return destination_; }
  bool unchanged() const noexcept { return unchanged_; }

 private:
  static std::string Sentence(std::string text) {
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
  }

  std::string destination_;
  bool unchanged_;
};

/// The path itself; raises OutputError when it holds a NUL character, since a name cut short
/// there would name another file than the one chosen.
inline const std::string& WithoutNul(const std::string& path) {
  if (path.find('\0') != std::string::npos) {
    throw OutputError(path, "the name holds a NUL character", kDestinationUnchanged);
  }
  return path;
}

}  // namespace quorrel
