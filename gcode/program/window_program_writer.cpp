#include "gcode/program/window_program_writer.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <string_view>

#include "gcode/numbers/number_text.h"

namespace quorrel {

void WindowProgramWriter::Title(const ProgramTitle& title) {
  writer_.WriteLine(ProgramLine{"N10 ( ", std::string_view(title.text), " )"});
}

void WindowProgramWriter::Move(ToolMove& move) {
  switch (move.role) {
    case MoveRole::Approach:
      return Write(move, layout_.approach.block);
    case MoveRole::Plunge:
      return Write(move, layout_.plunge.block);
    case MoveRole::Retract:
      return Write(move, layout_.retract.block);
    default:
      break;
  }
  if (heldCount_ > 0) {
    held_[heldCount_++] = move;
    if (heldCount_ == held_.size()) {
      WriteHeld(layout_.rings.front());
    } else {
      WriteHeldOnceKnown();
    }
  } else if (inPath_) {
    const std::span<const DinLine> path = ring_->path;
    Write(move, path[std::min(along_++, path.size() - 1)].block);
  } else {
    OpenCut(move);
  }
}

void WindowProgramWriter::WriteHeldOnceKnown() {
  // The ring whose lines so far have the motions and words of those held; once only one has,
  // they are written, and the rest of the ring as it comes.
  const DinRing* known = nullptr;
  for (const DinRing& ring : layout_.rings) {
    bool alike = ring.path.size() + 1 >= heldCount_;
    for (std::size_t k = 1; alike && k < heldCount_; ++k) {
      alike = ring.path[k - 1].kind == held_[k].kind && ring.path[k - 1].words == held_[k].words;
    }
    if (!alike) continue;
    if (known != nullptr) return;
    known = &ring;
  }
  if (known != nullptr) WriteHeld(*known);
}

void WindowProgramWriter::WriteHeld(const DinRing& ring) {
  ring_ = &ring;
  Write(held_.front(), ring.step ? ring.step->block : 0);
  for (along_ = 0; along_ + 1 < heldCount_; ++along_) {
    Write(held_[along_ + 1], ring.path[std::min(along_, ring.path.size() - 1)].block);
  }
  heldCount_ = 0;
}

void WindowProgramWriter::OpenCut(const ToolMove& move) {
  if (layout_.stroke && !stroked_) {
    stroked_ = true;
    return Write(move, layout_.stroke->block);
  }
  if (layout_.rings.size() > 1) {
    held_[heldCount_++] = move;
    return;
  }
  ring_ = &layout_.rings.front();
  Write(move, ring_->step ? ring_->step->block : 0);
}

void WindowProgramWriter::ClosedPathBegin() {
  inPath_ = true;
  if (heldCount_ == 0) {
    along_ = 0;
    if (ring_ == nullptr || !ring_->step) ring_ = &layout_.rings.front();
  }
}

void WindowProgramWriter::ClosedPathEnd() {
  inPath_ = false;
  if (heldCount_ > 0) {
    // The closed path's length says which ring of the layout it is.
    const DinRing* ring = layout_.RingOfLength(heldCount_ - 1);
    WriteHeld(ring != nullptr ? *ring : layout_.rings.front());
  }
  ring_ = nullptr;
}

void WindowProgramWriter::Write(const ToolMove& move, std::uint16_t block) {
  // A block number, a motion and five numbers at most.
  constexpr std::size_t kLongestLine = 16 + 5 * (kMaxNumberTextLength + 2);
  char* p = writer_.LineRoom(kLongestLine);
  *p++ = 'N';
  p = WriteWholeNumber(p, block);
  *p++ = ' ';
  *p++ = 'G';
  *p++ = move.kind == MoveKind::Rapid ? '0' : move.kind == MoveKind::Feed ? '1' : '3';
  if ((move.words & kWordX) != 0) p = WriteWord(p, 'X', move.to.x);
  if ((move.words & kWordY) != 0) p = WriteWord(p, 'Y', move.to.y);
  if ((move.words & kWordZ) != 0) p = WriteWord(p, 'Z', move.to.z);
  if ((move.words & kWordCenter) != 0) p = WriteCenter(p, move.centerX, move.centerY);
  writer_.EndLineAt(p);
}

char* WindowProgramWriter::WriteCenter(char* p, double x, double y) {
  if (std::bit_cast<std::uint64_t>(x) != std::bit_cast<std::uint64_t>(centerX_) ||
      std::bit_cast<std::uint64_t>(y) != std::bit_cast<std::uint64_t>(centerY_)) {
    // The centre of the window's program's arc is written as the coordinate it is.
    char* const start = centerText_.data();
    char* const end = WriteWord(WriteWord(start, 'I', x), 'J', y);
    centerLength_ = static_cast<std::size_t>(end - start);
    centerX_ = x;
    centerY_ = y;
  }
  std::memcpy(p, centerText_.data(), centerLength_);
  return p + centerLength_;
}

void WindowProgramWriter::End() {
  writer_.Append('N');
  writer_.Append(static_cast<unsigned>(layout_.endBlock));
  writer_.Append(layout_.twoBlanks ? std::string_view("  M30") : std::string_view(" M30"));
  writer_.EndLine();
}

}  // namespace quorrel
