#include "gcode/program/program_writer.h"

#include <cstring>

#include "gcode/numbers/number_text.h"
#include "gcode/output/program_destination.h"

namespace quorrel {

ProgramWriter::ProgramWriter(std::unique_ptr<ByteSink> sink, LineEnd lineEnd)
    : sink_(std::move(sink)),
      lineEnd_(lineEnd),
      buffer_(std::make_unique_for_overwrite<char[]>(kCapacity)) {}

ProgramWriter ProgramWriter::Open(const std::string& path) {
  return ProgramWriter(OpenProgramDestination(path));
}

void ProgramWriter::Close() {
  if (closed_) return;
  closed_ = true;
  Flush();
  sink_->Finish();
}

void ProgramWriter::Flush() {
  if (used_ == 0) return;
  const std::size_t bytes = used_;
  used_ = 0;
  handedOn_ += bytes;
  sink_->Write(std::string_view(buffer_.get(), bytes));
}

void ProgramWriter::WriteLines(std::string_view lines) {
  if (kCapacity - used_ >= lines.size()) {
    Append(lines);
  } else {
    // Far larger than the buffer: straight to the sink, after what is buffered.
    Flush();
    handedOn_ += lines.size();
    sink_->Write(lines);
  }
  if (used_ >= kFlushThreshold) Flush();
}

void ProgramWriter::WriteAgain(std::uint64_t from, std::uint64_t to) {
  const std::size_t length = static_cast<std::size_t>(to - from);
  if (from >= handedOn_ && kCapacity - used_ >= length) {
    // Still in the buffer, as a small program's lines are: copied within it.
    char* const buffer = buffer_.get();
    std::memcpy(buffer + used_, buffer + (from - handedOn_), length);
    used_ += length;
  } else {
    Flush();
    sink_->WriteAgain(from, length);
    handedOn_ += length;
  }
  if (used_ >= kFlushThreshold) Flush();
}

void ProgramWriter::Append(Float64 value) {
  MakeRoom(kMaxNumberTextLength);
  char* const start = buffer_.get() + used_;
  used_ += static_cast<std::size_t>(FormatCoordTo(start, value.value()) - start);
}

void ProgramWriter::Append(Float32 value) {
  MakeRoom(kMaxNumberTextLength);
  char* const start = buffer_.get() + used_;
  used_ += static_cast<std::size_t>(FormatCoordTo(start, value.value()) - start);
}

void ProgramWriter::Append(CommentText comment) {
  AppendInParts(comment.text,
                [](char c) { return (c == '\r' || c == '\n' || c == '(' || c == ')') ? ' ' : c; });
}

}  // namespace quorrel
