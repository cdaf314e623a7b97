#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace quorrel {

/// Where a program's bytes go: a file, standard output, memory.
class ByteSink {
 public:
  virtual ~ByteSink() = default;

  /// Writes all the bytes or raises OutputError.
  virtual void Write(std::string_view bytes) = 0;
  /// Completes the output (closes a file) and raises OutputError if any of it was lost.
  virtual void Finish() = 0;
  /// Told, before the first Write, how many bytes the whole output will be, by a sink that knows
  /// (one that holds the program back until it is complete), so that room can be made for them.
  /// Raises OutputError, with the destination unchanged, where there is none.
  virtual void Reserve(std::uint64_t bytes) { static_cast<void>(bytes); }
  /// Writes the first `length` bytes of the open file `descriptor` as they stand: a program that
  /// waited in a file. Raises OutputError, naming `name`, as Write does, and where the file cannot
  /// be read.
  virtual void WriteFileContent(int descriptor, std::uint64_t length, const std::string& name);
};

/// Collects the bytes in a string (tests, previews).
class StringSink : public ByteSink {
 public:
  explicit StringSink(std::string& bytes) : bytes_(bytes) {}
  void Write(std::string_view bytes) override { bytes_ += bytes; }
  void Finish() override {}

 private:
  std::string& bytes_;
};

/// Takes the bytes and keeps none: a program made only for what is seen of it on the way.
class DiscardingSink : public ByteSink {
 public:
  void Write(std::string_view) override {}
  void Finish() override {}
};

/// A file of its own: created, or emptied when it exists.
class FileSink : public ByteSink {
 public:
  /// Raises OutputError, naming the path, when the file cannot be opened for writing.
  explicit FileSink(const std::string& path);
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  void Write(std::string_view bytes) override;
  void Finish() override;
  void WriteFileContent(int descriptor, std::uint64_t length, const std::string& name) override;

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

/// An already open stream that someone else owns, such as standard output; Finish flushes it.
class StreamSink : public ByteSink {
 public:
  StreamSink(std::FILE* stream, std::string name) : stream_(stream), name_(std::move(name)) {}

  void Write(std::string_view bytes) override;
  void Finish() override;
  void WriteFileContent(int descriptor, std::uint64_t length, const std::string& name) override;

 private:
  std::FILE* stream_;
  std::string name_;
};

}  // namespace quorrel
