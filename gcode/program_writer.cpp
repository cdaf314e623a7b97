#include "gcode/program_writer.h"

#include <cstring>

#include "gcode/number_text.h"
#include "gcode/program_destination.h"

namespace quorrel {

ProgramWriter::ProgramWriter(std::unique_ptr<ByteSink> sink, std::string_view lineEnd)
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
  sink_->Write(std::string_view(buffer_.get(), bytes));
}

void ProgramWriter::MakeRoom(std::size_t bytes) {
  if (kCapacity - used_ < bytes) Flush();
}

void ProgramWriter::WriteLines(std::string_view lines) {
  if (kCapacity - used_ >= lines.size()) {
    Append(lines);
  } else {
    // Far larger than the buffer: straight to the sink, after what is buffered.
    Flush();
    sink_->Write(lines);
  }
  if (used_ >= kFlushThreshold) Flush();
}

void ProgramWriter::Append(std::string_view literal) {
  if (kCapacity - used_ >= literal.size()) {
    std::memcpy(buffer_.get() + used_, literal.data(), literal.size());
    used_ += literal.size();
    return;
  }
  AppendInParts(literal, [](char c) { return c; });
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
