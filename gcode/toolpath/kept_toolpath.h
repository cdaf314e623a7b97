#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// Hands a toolpath on as it goes by and keeps it, compactly, so that it can be run again without
/// being made again: the later passes of a program cut what the first pass cut. A move takes three
/// bytes and four for each coordinate that changed since the move before (its whole number of
/// thousandths), so that the largest rectangle Fill is kept in about 1.3 MB. A toolpath that
/// cannot be kept so (larger than kMostBytes, a coordinate beyond 32 bits of thousandths or not a
/// whole number of them, one read from a program's lines) is handed on
/// all the same, and not kept.
class KeptToolpath final : public ToolpathStage {
 public:
  static constexpr std::size_t kMostBytes = std::size_t{4} << 20;

  explicit KeptToolpath(ToolpathSink& next);

  void Title(const ProgramTitle& title) override;
  void Move(ToolMove& move) override;
  void ClosedPathBegin() override;
  void ClosedPathEnd() override;
  void End() override;

  /// Whether all that went by is kept, and Replay gives it again.
  bool kept() const { return kept_; }
  /// Hands `sink` what went by, as it went by. Only where kept().
  void Replay(ToolpathSink& sink) const;

 private:
  void GiveUp();
  void Put(std::uint8_t kind);

  // The most one move takes: where it starts, the arc centre it carries, and itself.
  static constexpr std::size_t kLongestMove = 2 + 3 * 4 + 1 + 2 * 4 + 3 + 3 * 4;

  // Room for the most that is kept, taken from the system as it is written. Every record is
  // written where at most kMostBytes are kept, and gives up what is kept when it ends beyond.
  std::unique_ptr<char[]> bytes_;
  std::size_t size_ = 0;
  std::optional<ProgramTitle> title_;
  bool kept_ = true;
  // Where the move before left the tool, and the arc centre it carried, as Replay will know them.
  ToolPoint at_ = kUnknownPoint;
  double centerX_ = Coord::Unknown();
  double centerY_ = Coord::Unknown();
};

}  // namespace quorrel
