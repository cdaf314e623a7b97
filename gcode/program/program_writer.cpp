#include "gcode/program/program_writer.h"

#include <charconv>
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
  sink_->Write(std::string_view(buffer_.get(), bytes));
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

void ProgramWriter::Append(Coord value) {
  MakeRoom(kMaxNumberTextLength);
  char* const start = buffer_.get() + used_;
  used_ += static_cast<std::size_t>(FormatCoordTo(start, value) - start);
}

void ProgramWriter::Append(unsigned number) {
  MakeRoom(10);
  char* const start = buffer_.get() + used_;
  used_ += static_cast<std::size_t>(std::to_chars(start, start + 10, number).ptr - start);
}

void ProgramWriter::AppendInParts(std::string_view text) {
  while (!text.empty()) {
    MakeRoom(text.size() < kCapacity ? text.size() : kCapacity);
    const std::size_t room = kCapacity - used_;
    const std::size_t part = text.size() < room ? text.size() : room;
    std::memcpy(buffer_.get() + used_, text.data(), part);
    used_ += part;
    text.remove_prefix(part);
  }
}

}  // namespace quorrel
