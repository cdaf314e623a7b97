#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "gcode/job/machine_settings.h"
#include "gcode/output/byte_sink.h"
#include "gcode/strategy/pass_depths.h"

namespace quorrel {

/// Tells the machinist something about the program being written that is not a failure.
using ControllerNotice = std::function<void(const std::string& message)>;

/// Writes the program that `dinProgram` (a program as the window saves it, whose number texts
/// ReadProgram accepts) cuts, as a program that the settings' controller runs as it stands, to
/// `destination`:
///   ( rectangle H10 x W10 )
///   G21 G90 G17 G94 G91.1
///   G0 Z5
///   G0 X-4 Y-4
///   G0 Z0
///   G1 Z-2 F300
///   G1 X4 F600
///   ...
///   G0 Z5
///   M30
/// Rapid moves travel at the clearance height and come down only to the top of what is left;
/// every move into the material is fed at the plunge feed and every cut at the feed; arcs carry
/// their centre relative to their start; with a step-down the path is cut again at each depth;
/// a conventional cut runs every closed path clockwise; a ramp entry comes down along the path
/// (see PlanRamp) instead of plunging.
/// Raises ProgramFormatError when the program is not one Quorrel writes, and JobRefused when it
/// needs more than kMostPasses passes or a line longer than the controller reads.
void WriteControllerProgram(std::string_view dinProgram, const MachineSettings& settings,
                            std::unique_ptr<ByteSink> destination);

class ControllerProgram;

/// A destination that takes a program as the window saves it and passes on the controller's
/// program of it, line by line as it arrives: the same bytes whether the program is being
/// generated or read from a file. It keeps the first pass's lines only when a later pass repeats
/// them.
/// A `finishingPass`, a program in the window's form too, is cut once more after all passes,
/// at its own depth in one pass. `outside` says that the paths run round the outside of the
/// part, which turns the direction of a climb cut. `notice` hears of a path too short to ramp
/// along.
class ControllerProgramSink : public ByteSink {
 public:
  ControllerProgramSink(const MachineSettings& settings, std::unique_ptr<ByteSink> destination,
                        std::string finishingPass = {}, bool outside = false,
                        ControllerNotice notice = {});
  ~ControllerProgramSink() override;

  /// Raises what WriteControllerProgram raises, and OutputError.
  void Write(std::string_view bytes) override;
  void Finish() override;

 private:
  std::unique_ptr<ControllerProgram> program_;
};

}  // namespace quorrel
