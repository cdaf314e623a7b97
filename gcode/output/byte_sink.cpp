#include "gcode/output/byte_sink.h"

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

}  // namespace

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
