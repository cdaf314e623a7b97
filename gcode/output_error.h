#pragma once

#include <stdexcept>
#include <string>

namespace quorrel {

/// A program's destination that cannot be opened or written (missing folder, no permission, a
/// directory, a full disk). The message names the destination and the system's reason:
/// `The file "/x/File1.din" cannot be written: No such file or directory.`
class OutputError : public std::runtime_error {
 public:
  OutputError(const std::string& destination, const std::string& reason)
      : std::runtime_error("The file \"" + Printable(destination) +
                           "\" cannot be written: " + reason + "."),
        destination_(destination) {}

  const std::string& destination() const noexcept { return destination_; }

 private:
  // A control character in a name (a NUL would even cut the message short) shows as "?".
  static std::string Printable(std::string name) {
    for (char& c : name) {
      if (static_cast<unsigned char>(c) < 0x20) c = '?';
    }
    return name;
  }

  std::string destination_;
};

}  // namespace quorrel
