#include "gcode/output/program_destination.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "gcode/output/output_error.h"

namespace quorrel {
namespace {

namespace fs = std::filesystem;

// The file a path names once every symbolic link on the way is followed; the path itself when it
// names nothing yet. A link to a file that does not exist yet gives that file's name, so that a
// save through the link creates it and keeps the link.
std::string FollowLinks(const std::string& path) {
  fs::path current = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(current, error))) return current.string();
    const fs::path link = fs::read_symlink(current, error);
    if (error) throw OutputError(path, error.message(), kDestinationUnchanged);
    current = link.is_absolute() ? link : current.parent_path() / link;
  }
  throw OutputError(path, SystemReason(ELOOP), kDestinationUnchanged);
}

std::string FolderOf(const std::string& file) {
  const fs::path folder = fs::path(file).parent_path();
  return folder.empty() ? "." : folder.string();
}

bool Writable(const std::string& path) {
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Calls `make` with hidden names beside `target` until one is not taken: hidden, and
// recognisable as a save under way. Returns what `make` returned last, -1 with errno set when
// every name was taken or the first failure was another than EEXIST.
template <class Make>
int WithNameBeside(const std::string& target, std::string& name, Make make) {
  const std::string stem = FolderOf(target) + "/." + fs::path(target).filename().string() + ".";
  auto salt = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid());
  for (int attempt = 0; attempt < 100; ++attempt, salt = salt * 6364136223846793005ULL + 1) {
    name = stem + std::to_string(salt % 1000000000ULL) + ".quorrel-save";
    const int result = make(name);
    if (result >= 0 || errno != EEXIST) return result;
  }
  return -1;
}

// A new file beside `target` under a hidden name, for file systems that cannot make an unnamed
// one.
int CreateBeside(const std::string& target, std::string& name) {
  return WithNameBeside(target, name, [](const std::string& candidate) {
    // 0666 as an ordinary new file: the user's umask decides what others may do with it.
    return ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  });
}

// A new file in `folder` without a name, so that nothing is left if the save never ends; -1 with
// errno set where the file system has no such files.
int CreateUnnamedIn(const std::string& folder) {
  return ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
}

// Links an unnamed file to `name`: through /proc where it is mounted, or by the descriptor,
// which only a privileged process may.
int LinkUnnamed(int descriptor, const std::string& name) {
  const std::string proc = "/proc/self/fd/" + std::to_string(descriptor);
  if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  if (errno == EEXIST) return -1;
  return ::linkat(descriptor, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
}

// Flushes a folder's entries to the disk, so that a rename in it survives a power cut. A file
// system that cannot is no reason to fail a program that is already in place.
void SyncFolder(const std::string& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

std::unique_ptr<ByteSink> OpenFile(const std::string& path) {
  return std::make_unique<FileSink>(path);
}

std::unique_ptr<ByteSink> OpenFileInPlace(const std::string& path) {
  return std::make_unique<OverwritingFileSink>(path);
}

ResolvedDestination Resolve(const std::string& path) {
  ResolvedDestination destination{FollowLinks(WithoutNul(path)), std::nullopt};
  struct stat existing {};
  if (::stat(destination.target.c_str(), &existing) == 0) destination.existing = existing;
  return destination;
}

// Writes all of `bytes`; 0, or the error that stopped it.
int WriteAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ::ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// A file without a name, gone when it is closed; -1 where none can be made.
int OpenUnnamedFile() {
  const char* const folder = std::getenv("TMPDIR");
  const std::string in = folder != nullptr && folder[0] != '\0' ? folder : "/tmp";
  return ::open(in.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

}  // namespace

ReplacingFileSink::ReplacingFileSink(const std::string& path,
                                     const ResolvedDestination& destination)
    : path_(path), target_(destination.target) {
  const std::optional<struct stat>& existing = destination.existing;
  if (existing && S_ISDIR(existing->st_mode))
    throw OutputError(path, SystemReason(EISDIR), kDestinationUnchanged);
  // A file the user may not change is not replaced behind its back either.
  if (existing && !Writable(target_))
    throw OutputError(path, SystemReason(errno), kDestinationUnchanged);

  descriptor_ = CreateUnnamedIn(FolderOf(target_));
  if (descriptor_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    descriptor_ = CreateBeside(target_, temporary_);
  }
  if (descriptor_ < 0) {
    const int error = errno;
    temporary_.clear();
    throw OutputError(path, SystemReason(error), kDestinationUnchanged);
  }
  if (existing) {
    // The program replaces the file's content, not who may read or run it. Changing the owner
    // works only for root or for one's own group; otherwise the new file stays the user's.
    ::fchmod(descriptor_, existing->st_mode & 07777);
    if (::fchown(descriptor_, existing->st_uid, existing->st_gid) != 0) {
      ::fchmod(descriptor_, existing->st_mode & 0777);
    }
  }
}

ReplacingFileSink::~ReplacingFileSink() {
  Discard();
}

void ReplacingFileSink::Discard() {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

void ReplacingFileSink::Fail(int error) {
  Discard();
  throw OutputError(path_, SystemReason(error), kDestinationUnchanged);
}

void ReplacingFileSink::Write(std::string_view bytes) {
  if (const int error = WriteAll(descriptor_, bytes); error != 0) Fail(error);
  // The disk starts on what is written while the rest is made, so that the flush at the end
  // waits for little more than the last piece.
  ::sync_file_range(descriptor_, static_cast<::off_t>(written_), static_cast<::off_t>(bytes.size()),
                    SYNC_FILE_RANGE_WRITE);
  written_ += bytes.size();
}

void ReplacingFileSink::GiveName() {
  if (!temporary_.empty()) return;
  const int descriptor = descriptor_;
  if (WithNameBeside(target_, temporary_, [descriptor](const std::string& candidate) {
        return LinkUnnamed(descriptor, candidate);
      }) < 0) {
    const int error = errno;
    temporary_.clear();
    Fail(error);
  }
}

void ReplacingFileSink::Finish() {
  if (descriptor_ < 0) return;
  // On the disk before it has the target's name: a power cut after the rename finds the whole
  // new program there, not an empty or partial file.
  if (::fsync(descriptor_) != 0) Fail(errno);
  GiveName();
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (::close(descriptor) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
  }
  temporary_.clear();
  SyncFolder(FolderOf(target_));
}

OverwritingFileSink::~OverwritingFileSink() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

void OverwritingFileSink::Reserve(std::uint64_t bytes) {
  descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
  if (descriptor_ < 0) throw OutputError(path_, SystemReason(errno), kDestinationUnchanged);
  // Blocks for every byte of the program, before the first is written over the old one.
  if (bytes > 0 && ::fallocate(descriptor_, 0, 0, static_cast<::off_t>(bytes)) != 0) {
    const int error = errno;
    const std::string reason =
        error == EOPNOTSUPP
            ? "its folder takes no new file, and its file system cannot reserve room for the "
              "program before it is written over the old one"
            : "no room can be reserved for the program (" + SystemReason(error) + ")";
    throw OutputError(path_, reason, kDestinationUnchanged);
  }
}

void OverwritingFileSink::Fail(int error) const {
  throw OutputError(path_, SystemReason(error));
}

void OverwritingFileSink::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ::ssize_t written =
        ::pwrite(descriptor_, bytes.data(), bytes.size(), static_cast<::off_t>(written_));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) Fail(written < 0 ? errno : EIO);
    written_ += static_cast<std::uint64_t>(written);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void OverwritingFileSink::Finish() {
  // What is left of a longer old program goes; then the new one is flushed to the disk.
  if (::ftruncate(descriptor_, static_cast<::off_t>(written_)) != 0 || ::fsync(descriptor_) != 0) {
    Fail(errno);
  }
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (::close(descriptor) != 0) Fail(errno);
}

WholeProgramSink::WholeProgramSink(std::string path, Opener open)
    : path_(std::move(path)), open_(open), spool_(OpenUnnamedFile()) {}

WholeProgramSink::~WholeProgramSink() {
  if (spool_ >= 0) ::close(spool_);
}

void WholeProgramSink::Write(std::string_view bytes) {
  if (spool_ >= 0) {
    if (WriteAll(spool_, bytes) == 0) {
      spooled_ += bytes.size();
      return;
    }
    // A full temporary folder does not fail the program: it waits in memory from here on.
    KeepInMemory();
  }
  bytes_ += bytes;
}

void WholeProgramSink::KeepInMemory() {
  bytes_.reserve(static_cast<std::size_t>(spooled_));
  StringSink memory(bytes_);
  memory.WriteFileContent(spool_, spooled_, path_);
  ::close(spool_);
  spool_ = -1;
}

void WholeProgramSink::Finish() {
  std::unique_ptr<ByteSink> sink = open_(path_);
  sink->Reserve(spool_ >= 0 ? spooled_ : bytes_.size());
  if (spool_ >= 0) {
    sink->WriteFileContent(spool_, spooled_, path_);
  } else {
    sink->Write(bytes_);
  }
  sink->Finish();
}

std::unique_ptr<ByteSink> OpenProgramDestination(const std::string& path) {
  const ResolvedDestination destination = Resolve(path);
  if (const std::optional<struct stat>& existing = destination.existing) {
    const std::string& target = destination.target;
    // A pipe or a device cannot be renamed over.
    if (!S_ISREG(existing->st_mode) && !S_ISDIR(existing->st_mode)) {
      return std::make_unique<WholeProgramSink>(path, OpenFile);
    }
    // A file that may be changed in a folder that takes no new file can only be overwritten in
    // place, and then only with a complete program, in room reserved for it.
    if (S_ISREG(existing->st_mode) && Writable(target) && !Writable(FolderOf(target))) {
      return std::make_unique<WholeProgramSink>(path, OpenFileInPlace);
    }
  }
  return std::make_unique<ReplacingFileSink>(path, destination);
}

std::string WhatTheDestinationHolds(const std::string& path, bool unchanged) {
  if (path == kStandardOutputPath) {
    return unchanged ? "Nothing was written to standard output."
                     : "Standard output may have received part of the program.";
  }
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (!unchanged) {
    return "\"" + path +
           "\" was changed: it holds only part of the program, not what it held "
           "before.";
  }
  if (!exists) return "Nothing was written; no file \"" + path + "\" was made.";
  return "Nothing was written; \"" + path + "\" is unchanged.";
}

}  // namespace quorrel
