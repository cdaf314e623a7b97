#pragma once

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <string>

#include "gcode/byte_sink.h"

namespace quorrel {

/// Where a save named `path` really goes: the file at the end of its symbolic links, and what
/// is there now, if anything.
struct ResolvedDestination {
  std::string target;
  std::optional<struct stat> existing;
};

/// A regular file that is replaced only by a complete program. The bytes go to a new file beside
/// the target (a hidden name in the same folder); Finish gives it the target's permissions and
/// renames it over the target in one step. Destroyed without Finish, or after a failed write, it
/// removes its new file, so the target keeps every byte it had. The target is the file a
/// symbolic link points to: the link stays a link.
class ReplacingFileSink : public ByteSink {
 public:
  /// `destination` is where `path` leads (see OpenProgramDestination). Raises OutputError,
  /// naming `path`, when the target is a folder, is not writable, or no file can be made beside
  /// it.
  ReplacingFileSink(const std::string& path, const ResolvedDestination& destination);
  ~ReplacingFileSink() override;
  ReplacingFileSink(const ReplacingFileSink&) = delete;
  ReplacingFileSink& operator=(const ReplacingFileSink&) = delete;

  void Write(std::string_view bytes) override;
  void Finish() override;
  bool CanWriteAgain() const override { return true; }
  /// Reads the bytes back from the file being written.
  void WriteAgain(std::uint64_t offset, std::uint64_t length) override;

 private:
  void Discard();
  [[noreturn]] void Fail(int error);

  std::string path_;    // as the user named it, for messages
  std::string target_;  // the file that is replaced, links followed
  std::string temporary_;
  int descriptor_ = -1;
};

/// Holds the whole program back and hands it on only at Finish: for a destination that cannot be
/// replaced by renaming (standard output, a pipe, a device), which then receives the complete
/// program or nothing. `open` makes the real sink at Finish, so a job that fails never even opens
/// it. The program waits in an unnamed temporary file (in $TMPDIR, or /tmp), so that memory stays
/// flat however large it is; in memory where no such file can be made or written.
class WholeProgramSink : public ByteSink {
 public:
  using Opener = std::unique_ptr<ByteSink> (*)(const std::string& path);

  WholeProgramSink(std::string path, Opener open);
  ~WholeProgramSink() override;
  WholeProgramSink(const WholeProgramSink&) = delete;
  WholeProgramSink& operator=(const WholeProgramSink&) = delete;

  void Write(std::string_view bytes) override;
  void Finish() override;
  bool CanWriteAgain() const override { return true; }
  void WriteAgain(std::uint64_t offset, std::uint64_t length) override;

 private:
  void KeepInMemory();

  std::string path_;
  Opener open_;
  int spool_ = -1;  // the temporary file, while the program waits there
  std::uint64_t spooled_ = 0;
  std::string bytes_;  // the program, where it waits in memory
  StringSink memory_{bytes_};
};

/// The sink a program is saved through: a ReplacingFileSink for a regular file or a new name, a
/// WholeProgramSink for anything else (a pipe, a device) and for a file whose folder does not let
/// a new file be made beside it. Raises OutputError for a folder or a path that cannot be written.
std::unique_ptr<ByteSink> OpenProgramDestination(const std::string& path);

}  // namespace quorrel
