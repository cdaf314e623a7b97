#include "gcode/output/byte_sink.h"

#include <sys/sendfile.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "gcode/output/output_error.h"

namespace quorrel {
namespace {

void WriteAll(std::FILE* stream, std::string_view bytes, const std::string& name) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
    throw OutputError(name, SystemReason(errno));
  }
}

// Hands the kernel the copy from one file to another; false where it cannot (the destination's
// kind does not take it), with nothing copied.
bool CopyInKernel(std::FILE* stream, int from, std::uint64_t length, const std::string& name) {
  if (std::fflush(stream) != 0) throw OutputError(name, SystemReason(errno));
  const int to = ::fileno(stream);
  ::off_t offset = 0;
  while (length > 0) {
    const ::ssize_t sent = ::sendfile(to, from, &offset, static_cast<std::size_t>(length));
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && offset == 0 && (errno == EINVAL || errno == ENOSYS)) return false;
    if (sent <= 0) throw OutputError(name, SystemReason(sent < 0 ? errno : EIO));
    length -= static_cast<std::uint64_t>(sent);
  }
  return true;
}

}  // namespace

void ByteSink::WriteFileContent(int descriptor, std::uint64_t length, const std::string& name) {
  std::array<char, 64 * 1024> piece;
  std::uint64_t offset = 0;
  while (offset < length) {
    const std::size_t wanted =
        length - offset < piece.size() ? static_cast<std::size_t>(length - offset) : piece.size();
    const ::ssize_t read = ::pread(descriptor, piece.data(), wanted, static_cast<::off_t>(offset));
    if (read < 0 && errno == EINTR) continue;
    // The file holds every byte it was given, so reading none is a fault of the disk.
    if (read <= 0) throw OutputError(name, SystemReason(read < 0 ? errno : EIO), true);
    Write(std::string_view(piece.data(), static_cast<std::size_t>(read)));
    offset += static_cast<std::uint64_t>(read);
  }
}

FileSink::FileSink(const std::string& path) : path_(WithoutNul(path)) {
  errno = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) throw OutputError(path, SystemReason(errno), kDestinationUnchanged);
  // ProgramWriter hands over large blocks; a second buffer here would only copy them again.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

FileSink::~FileSink() {
  if (file_ != nullptr) std::fclose(file_);
}

void FileSink::Write(std::string_view bytes) {
  WriteAll(file_, bytes, path_);
}

void FileSink::Finish() {
  if (file_ == nullptr) return;
  std::FILE* const file = file_;
  file_ = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) throw OutputError(path_, SystemReason(errno));
}

void FileSink::WriteFileContent(int descriptor, std::uint64_t length, const std::string& name) {
  if (!CopyInKernel(file_, descriptor, length, path_)) {
    ByteSink::WriteFileContent(descriptor, length, name);
  }
}

void StreamSink::WriteFileContent(int descriptor, std::uint64_t length, const std::string& name) {
  if (!CopyInKernel(stream_, descriptor, length, name_)) {
    ByteSink::WriteFileContent(descriptor, length, name);
  }
}

void StreamSink::Write(std::string_view bytes) {
  WriteAll(stream_, bytes, name_);
}

void StreamSink::Finish() {
  errno = 0;
  if (std::fflush(stream_) != 0 || std::ferror(stream_) != 0) {
    throw OutputError(name_, SystemReason(errno));
  }
}

}  // namespace quorrel
