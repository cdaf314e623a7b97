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

  /// Whether the sink can read back what it was given, and so WriteAgain.
  virtual bool CanWriteAgain() const { return false; }
  /// Writes again `length` of the bytes it was given, from the `offset`-th on, so that a program
  /// that repeats its lines need not keep a copy of them. Raises OutputError as Write does, and
  /// std::logic_error where the sink cannot.
  virtual void WriteAgain(std::uint64_t offset, std::uint64_t length);
};

/// Collects the bytes in a string (tests, previews).
class StringSink : public ByteSink {
 public:
  explicit StringSink(std::string& bytes) : bytes_(bytes), start_(bytes.size()) {}
  void Write(std::string_view bytes) override { bytes_ += bytes; }
  void Finish() override {}
  bool CanWriteAgain() const override { return true; }
  void WriteAgain(std::uint64_t offset, std::uint64_t length) override;

 private:
  std::string& bytes_;
  std::size_t start_;  // what the string held before
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

 private:
  std::FILE* stream_;
  std::string name_;
};

/// Passes every byte on to another sink and keeps a copy, so that what is drawn or checked is
/// exactly what the destination received.
class CopyingSink : public ByteSink {
 public:
  CopyingSink(std::unique_ptr<ByteSink> sink, std::string& copy)
      : sink_(std::move(sink)), copy_(copy), start_(copy.size()) {}

  void Write(std::string_view bytes) override;
  void Finish() override { sink_->Finish(); }
  bool CanWriteAgain() const override { return sink_->CanWriteAgain(); }
  void WriteAgain(std::uint64_t offset, std::uint64_t length) override;

 private:
  std::unique_ptr<ByteSink> sink_;
  std::string& copy_;
  std::size_t start_;  // what the copy held before
};

}  // namespace quorrel
