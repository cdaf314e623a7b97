#pragma once

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <string>

#include "gcode/output/byte_sink.h"

namespace quorrel {

/// Where a save named `path` really goes: the file at the end of its symbolic links, and what
/// is there now, if anything.
struct ResolvedDestination {
  std::string target;
  std::optional<struct stat> existing;
};

/// A regular file that is replaced only by a complete program. The bytes go to a new file in the
/// target's folder that has no name while it is written (or, where the file system cannot make
/// one, a hidden name), so that a save that is killed leaves nothing behind. Finish flushes the
/// new file to the disk, names it and renames it over the target in one step, with the target's
/// permissions, and flushes the folder, so that after a power cut the name holds the old program
/// or the new one whole. Destroyed without Finish, or after a failed write, it removes its new
/// file, so the target keeps every byte it had. The target is the file a symbolic link points to:
/// the link stays a link.
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

 private:
  void Discard();
  [[noreturn]] void Fail(int error);
  void GiveName();

  std::string path_;       // as the user named it, for messages
  std::string target_;     // the file that is replaced, links followed
  std::string temporary_;  // the new file's name, once it has one
  int descriptor_ = -1;
  std::uint64_t written_ = 0;
};

/// A file that may be changed in a folder that takes no new file: it can only be overwritten in
/// place. Reserve makes room on the disk for the whole program first, so that a full disk cannot
/// cut the program short; where the file system cannot reserve, nothing is written. Used behind a
/// WholeProgramSink, which knows the program's size before its first byte goes out.
class OverwritingFileSink : public ByteSink {
 public:
  explicit OverwritingFileSink(std::string path) : path_(std::move(path)) {}
  ~OverwritingFileSink() override;
  OverwritingFileSink(const OverwritingFileSink&) = delete;
  OverwritingFileSink& operator=(const OverwritingFileSink&) = delete;

  void Reserve(std::uint64_t bytes) override;
  /// Raises OutputError, saying that the file was changed, when a write fails.
  void Write(std::string_view bytes) override;
  void Finish() override;

 private:
  [[noreturn]] void Fail(int error) const;

  std::string path_;
  int descriptor_ = -1;
  std::uint64_t written_ = 0;
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

 private:
  void KeepInMemory();

  std::string path_;
  Opener open_;
  int spool_ = -1;  // the temporary file, while the program waits there
  std::uint64_t spooled_ = 0;
  std::string bytes_;  // the program, where it waits in memory
};

/// The sink a program is saved through: a ReplacingFileSink for a regular file or a new name, a
/// WholeProgramSink for anything else (a pipe, a device), and a WholeProgramSink before an
/// OverwritingFileSink for a file whose folder does not let a new file be made beside it. Raises
/// OutputError for a folder or a path that cannot be written.
std::unique_ptr<ByteSink> OpenProgramDestination(const std::string& path);

/// What a save that failed has left at `path`, for its message: "Nothing was written;
/// "x" is unchanged." when the destination was not touched (`unchanged`), or that it now holds
/// part of the program.
std::string WhatTheDestinationHolds(const std::string& path, bool unchanged);

}  // namespace quorrel
