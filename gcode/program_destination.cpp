#include "gcode/program_destination.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>

#include "gcode/output_error.h"

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

// A name beside `target` that no other file has: hidden, and recognisable as a save under way.
int CreateBeside(const std::string& target, std::string& name) {
  const std::string stem = FolderOf(target) + "/." + fs::path(target).filename().string() + ".";
  auto salt = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid());
  for (int attempt = 0; attempt < 100; ++attempt, salt = salt * 6364136223846793005ULL + 1) {
    name = stem + std::to_string(salt % 1000000000ULL) + ".quorrel-save";
    // 0666 as an ordinary new file: the user's umask decides what others may do with it.
    const int descriptor = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EEXIST) return descriptor;
  }
  return -1;
}

std::unique_ptr<ByteSink> OpenFile(const std::string& path) {
  return std::make_unique<FileSink>(path);
}

ResolvedDestination Resolve(const std::string& path) {
  ResolvedDestination destination{FollowLinks(WithoutNul(path)), std::nullopt};
  struct stat existing {};
  if (::stat(destination.target.c_str(), &existing) == 0) destination.existing = existing;
  return destination;
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

  descriptor_ = CreateBeside(target_, temporary_);
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
  while (!bytes.empty()) {
    const ::ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) Fail(written < 0 ? errno : EIO);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void ReplacingFileSink::WriteAgain(std::uint64_t offset, std::uint64_t length) {
  std::array<char, 64 * 1024> part;
  while (length > 0) {
    const std::size_t wanted =
        length < part.size() ? static_cast<std::size_t>(length) : part.size();
    const ::ssize_t read = ::pread(descriptor_, part.data(), wanted, static_cast<::off_t>(offset));
    if (read < 0 && errno == EINTR) continue;
    // The file holds every byte it was given: reading less is a fault of the disk.
    if (read <= 0) Fail(read < 0 ? errno : EIO);
    Write(std::string_view(part.data(), static_cast<std::size_t>(read)));
    offset += static_cast<std::uint64_t>(read);
    length -= static_cast<std::uint64_t>(read);
  }
}

void ReplacingFileSink::Finish() {
  if (descriptor_ < 0) return;
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (::close(descriptor) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
  }
  temporary_.clear();
}

void WholeProgramSink::Finish() {
  std::unique_ptr<ByteSink> sink = open_(path_);
  sink->Write(bytes_);
  sink->Finish();
}

std::unique_ptr<ByteSink> OpenProgramDestination(const std::string& path) {
  const ResolvedDestination destination = Resolve(path);
  if (const std::optional<struct stat>& existing = destination.existing) {
    const std::string& target = destination.target;
    // A pipe or a device cannot be renamed over.
    const bool device = !S_ISREG(existing->st_mode) && !S_ISDIR(existing->st_mode);
    // A file that may be changed in a folder that takes no new file can only be overwritten in
    // place, and then at least only with a complete program.
    const bool lockedFolder =
        S_ISREG(existing->st_mode) && Writable(target) && !Writable(FolderOf(target));
    if (device || lockedFolder) return std::make_unique<WholeProgramSink>(path, OpenFile);
  }
  return std::make_unique<ReplacingFileSink>(path, destination);
}

}  // namespace quorrel
