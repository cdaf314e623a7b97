#pragma once

namespace quorrel {

/// What takes a program's moves and can take a later pass's cuts as those of the first pass
/// again: where no stage puts a Z into the cuts (no ramp, no tabs), every pass cuts the same moves
/// at its own depth, and a program's text, or the time it runs, need not be made of them anew.
class RepeatableCuts {
 public:
  /// Keeps what the next pass's cuts make of it, from the move after its plunge to its end.
  virtual void KeepNextCuts() = 0;
  /// True when the cuts of that pass were kept whole, and none of them moves in Z.
  virtual bool cutsKept() const = 0;
  /// Takes the kept cuts again, as a later pass's, after its plunge. Only where cutsKept().
  virtual void RepeatCuts() = 0;

 protected:
  ~RepeatableCuts() = default;
};

}  // namespace quorrel
