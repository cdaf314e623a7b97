#include "gcode/toolpath/kept_toolpath.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace quorrel {
namespace {

// What each record is: the low three bits of its first byte.
enum RecordKind : std::uint8_t {
  kMove,    // then the kind and feed; a byte of words and changed coordinates; its role
  kFrom,    // a move that does not start where the one before ended: a byte of changed
            // coordinates, then them
  kCenter,  // the arc centre the following moves carry: two coordinates
  kTitle,   // the title, kept aside
  kClosedPathBegin,
  kClosedPathEnd,
  kEnd,
};

constexpr std::uint8_t kChangedX = 1, kChangedY = 2, kChangedZ = 4;

bool Same(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

std::uint8_t ChangedBetween(const ToolPoint& from, const ToolPoint& to) {
  return static_cast<std::uint8_t>((Same(from.x, to.x) ? 0 : kChangedX) |
                                   (Same(from.y, to.y) ? 0 : kChangedY) |
                                   (Same(from.z, to.z) ? 0 : kChangedZ));
}

// A coordinate is kept as its whole number of thousandths, in 32 bits: a value within 2,000,000
// that is the double nearest a number of thousandths.
std::int32_t NearestThousandths(double value) {
  const double scaled = value * 1000.0;
  return static_cast<std::int32_t>(scaled < 0.0 ? scaled - 0.5 : scaled + 0.5);
}

// Puts records at the end of what is kept; `fits` turns false at the first value that cannot be
// kept.
class Writer {
 public:
  explicit Writer(char* end) : p_(end) {}

  char* end() const { return p_; }
  bool fits() const { return fits_; }
  void Put(std::uint8_t byte) { *p_++ = static_cast<char>(byte); }
  // A coordinate is the double nearest its thousandths by its making: only its size is checked.
  void PutCoord(Coord value) { PutThousandths(std::fabs(value) < 2e6, value); }
  // Any other value, such as an arc's centre, is checked to be one.
  void PutCoord(double value) {
    const bool small = std::fabs(value) < 2e6;
    PutThousandths(small && Same(Coord::OfThousandths(NearestThousandths(value)).value(), value),
                   value);
  }
  void PutPoint(const ToolPoint& point, std::uint8_t changed) {
    if ((changed & kChangedX) != 0) PutCoord(point.x);
    if ((changed & kChangedY) != 0) PutCoord(point.y);
    if ((changed & kChangedZ) != 0) PutCoord(point.z);
  }

 private:
  void PutThousandths(bool fits, double value) {
    fits_ = fits_ && fits;
    const std::int32_t thousandths = fits ? NearestThousandths(value) : 0;
    std::memcpy(p_, &thousandths, sizeof thousandths);
    p_ += sizeof thousandths;
  }

  char* p_;
  bool fits_ = true;
};

class Reader {
 public:
  Reader(const char* bytes, std::size_t size) : p_(bytes), end_(bytes + size) {}

  bool done() const { return p_ == end_; }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(*p_++); }
  Coord Next() {
    std::int32_t thousandths;
    std::memcpy(&thousandths, p_, sizeof thousandths);
    p_ += sizeof thousandths;
    return Coord::OfThousandths(thousandths);
  }
  void Point(ToolPoint& point, std::uint8_t changed) {
    if ((changed & kChangedX) != 0) point.x = Next();
    if ((changed & kChangedY) != 0) point.y = Next();
    if ((changed & kChangedZ) != 0) point.z = Next();
  }

 private:
  const char* p_;
  const char* end_;
};

}  // namespace

KeptToolpath::KeptToolpath(ToolpathSink& next)
    : ToolpathStage(next), bytes_(new char[kMostBytes + kLongestMove]) {}

void KeptToolpath::GiveUp() {
  kept_ = false;
  bytes_.reset();
}

void KeptToolpath::Title(const ProgramTitle& title) {
  if (kept_) {
    if (title_) {
      GiveUp();
    } else {
      title_ = title;
      Put(kTitle);
    }
  }
  next().Title(title);
}

void KeptToolpath::Put(std::uint8_t kind) {
  bytes_[size_++] = static_cast<char>(kind);
  if (size_ > kMostBytes) GiveUp();
}

void KeptToolpath::Move(ToolMove& move) {
  // Kept before it is handed on: a stage after this one may change it. A move read from a line
  // keeps its line, and a controller's arc its centre as written; neither is kept here.
  if (kept_ && move.line == 0 && Same(move.offsetX, 0.0) && Same(move.offsetY, 0.0)) {
    Writer record(bytes_.get() + size_);
    if (const std::uint8_t moved = ChangedBetween(at_, move.from); moved != 0) {
      record.Put(kFrom);
      record.Put(moved);
      record.PutPoint(move.from, moved);
    }
    if (!Same(move.centerX, centerX_) || !Same(move.centerY, centerY_)) {
      record.Put(kCenter);
      record.PutCoord(move.centerX);
      record.PutCoord(move.centerY);
      centerX_ = move.centerX;
      centerY_ = move.centerY;
    }
    const std::uint8_t changed = ChangedBetween(move.from, move.to);
    record.Put(static_cast<std::uint8_t>(kMove | static_cast<unsigned>(move.kind) << 3 |
                                         (move.feed == MoveFeed::Plunging ? 0x40U : 0U)));
    record.Put(static_cast<std::uint8_t>(move.words | changed << 4));
    record.Put(static_cast<std::uint8_t>(move.role));
    record.PutPoint(move.to, changed);
    size_ = static_cast<std::size_t>(record.end() - bytes_.get());
    at_ = move.to;
    if (!record.fits() || size_ > kMostBytes) GiveUp();
  } else if (kept_) {
    GiveUp();
  }
  next().Move(move);
}

void KeptToolpath::ClosedPathBegin() {
  if (kept_) Put(kClosedPathBegin);
  next().ClosedPathBegin();
}

void KeptToolpath::ClosedPathEnd() {
  if (kept_) Put(kClosedPathEnd);
  next().ClosedPathEnd();
}

void KeptToolpath::End() {
  if (kept_) Put(kEnd);
  next().End();
}

void KeptToolpath::Replay(ToolpathSink& sink) const {
  Reader reader(bytes_.get(), size_);
  ToolPoint at = kUnknownPoint;
  double centerX = Coord::Unknown();
  double centerY = Coord::Unknown();
  while (!reader.done()) {
    const std::uint8_t head = reader.Byte();
    switch (static_cast<RecordKind>(head & 7U)) {
      case kMove: {
        const std::uint8_t words = reader.Byte();
        ToolMove move;
        move.role = static_cast<MoveRole>(reader.Byte());
        move.kind = static_cast<MoveKind>((head >> 3) & 7U);
        move.from = at;
        move.to = at;
        reader.Point(move.to, static_cast<std::uint8_t>(words >> 4));
        move.centerX = centerX;
        move.centerY = centerY;
        move.words = words & 0xFU;
        move.feed = (head & 0x40U) != 0 ? MoveFeed::Plunging : MoveFeed::Cutting;
        at = move.to;
        sink.Move(move);
        break;
      }
      case kFrom:
        reader.Point(at, reader.Byte());
        break;
      case kCenter:
        centerX = reader.Next();
        centerY = reader.Next();
        break;
      case kTitle:
        sink.Title(*title_);
        break;
      case kClosedPathBegin:
        sink.ClosedPathBegin();
        break;
      case kClosedPathEnd:
        sink.ClosedPathEnd();
        break;
      case kEnd:
        sink.End();
        break;
    }
  }
}

}  // namespace quorrel
