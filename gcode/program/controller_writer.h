#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "gcode/job/dialect_profile.h"
#include "gcode/job/machine_settings.h"
#include "gcode/job/program_units.h"
#include "gcode/program/program_writer.h"
#include "gcode/toolpath/repeatable_cuts.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// True when LinuxCNC acts on a comment of this text: after blanks, MSG, DEBUG or PRINT, or a word
/// beginning with LOG or PROBE, in any case, followed by a comma or a blank.
bool IsActiveComment(std::string_view text);

/// Writes a program a controller runs as it stands from the moves it is given: the title as the
/// first comment and the set-up line ("G21 G90 G17 G94 G91.1", or G20) at Title, M3 after it when
/// the spindle is to be started, one line per move ("G0 Z5", "G1 X4 F600", "G3 X1 Y0 I1 J0"), the
/// feed written where it changes, and "M5" and "M30" at Finish. A straight cut says the words the
/// move carries; an arc says its end and its centre from its start (offsetX, offsetY). Lines end
/// with LF. Raises JobRefused, naming the program's line where the move was read from one, for a
/// line longer than the controller reads; nothing reaches the destination then.
class ControllerWriter final : public ToolpathSink, public RepeatableCuts {
 public:
  ControllerWriter(const MachineSettings& settings, ProgramWriter& writer);

  void Title(const ProgramTitle& title) override;
  void Move(ToolMove& move) override;
  /// The end of a pass: the program goes on.
  void End() override {
    if (keeping_ != Keeping::Off)
      keeping_ = keeping_ == Keeping::Cuts ? Keeping::Kept : Keeping::Off;
  }
  /// The program's last lines; closes the writer.
  void Finish();

  /// A job of several operations: its spindle starts with its first operation (see
  /// StartOperation), not at its title, and the operations' own titles are their comments.
  void BeginJob() { job_ = true; }
  /// The next operation of a job, cut with `settings`: its comment ("( operation 2: Circle R20
  /// )"), then where `tool` is given the change to it, the spindle stopped first (LinuxCNC:
  /// "T2 M6", "G43 H2"; GRBL, which has no tool changer: a comment that says which tool to fit,
  /// and "M0", a pause until cycle start), then the spindle at the operation's speed. The
  /// operation before ended at its clearance height. `settings` must outlive its operation.
  void StartOperation(const MachineSettings& settings, int number, const std::string& title,
                      std::optional<int> tool);

  /// Keeps the lines of the next pass's cuts, from the line after its plunge to its end, as they
  /// are written, so that a later pass that cuts the same moves at another depth writes them
  /// again without making them: where no line of them says Z, those are the same lines. Keeps at
  /// most kMostKeptBytes.
  void KeepNextCuts() override;
  /// True when the cuts of the pass were kept whole, and no line of them says Z.
  bool cutsKept() const override { return keeping_ == Keeping::Kept; }
  /// Writes the kept cuts again, as a later pass's, after its plunge line. Only where cutsKept().
  void RepeatCuts() override;

  static constexpr std::size_t kMostKeptBytes = std::size_t{4} << 20;

 private:
  void Line(std::string_view text, std::size_t counted, int sourceLine);
  void Comment(const std::string& text);
  std::size_t Counted(std::string_view words) const;
  // The spindle at the settings' speed, or stopped where they have none.
  void StartSpindle();
  // A hole: one line of the controller's drilling cycle, or for GRBL its moves.
  void Drill(const ToolMove& hole);
  // "G80", after the last hole of the cycles before any other move.
  void EndCycle();
  void Dwell(double seconds, int sourceLine);
  template <bool Tenths>
  void WriteMove(const ToolMove& move);
  // Refuses a line longer than the controller reads.
  void Check(std::size_t counted, int sourceLine) const {
    if (counted > rules_.longestLine) Refuse(counted, sourceLine);
  }
  [[noreturn]] void Refuse(std::size_t counted, int sourceLine) const;
  // Takes the move's line, written from `line` to `end`, into the kept cuts where they are kept.
  [[gnu::noinline]] void Keep(const ToolMove& move, const char* line, const char* end);

  enum class Keeping { Off, AfterPlunge, Cuts, Kept };

  const MachineSettings* settings_;
  const DialectProfile& rules_;
  bool tenths_;  // the moves were made in tenths of an inch: see ProgramUnits
  ProgramWriter& writer_;
  double feed_ = Coord::Unknown();  // the feed in force; none before the first
  bool inCycle_ = false;            // a drilling cycle is in force
  bool titled_ = false;
  bool job_ = false;
  std::optional<double> spindle_;  // its speed, while it turns
  Keeping keeping_ = Keeping::Off;
  // Room for the most that is kept, taken from the system as it is written.
  std::unique_ptr<char[]> keptCuts_;
  std::size_t keptSize_ = 0;
  double feedAfterCuts_ = Coord::Unknown();
};

}  // namespace quorrel
