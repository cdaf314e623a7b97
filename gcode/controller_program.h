#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "gcode/byte_sink.h"
#include "gcode/machine_settings.h"
#include "gcode/program_writer.h"

namespace quorrel {

/// The most passes one program may cut; a finer step-down is refused rather than written.
inline constexpr long long kMostPasses = 10000;

/// Writes the program that `dinProgram` (a program as the window saves it) cuts, as a program
/// that the settings' controller runs as it stands, and closes the writer:
///   ( rectangle H10 x W10 )
///   G21 G90 G17 G94 G91.1
///   G0 Z5
///   G0 X-4 Y-4
///   G0 Z0
///   G1 Z-2 F300
///   G1 X4 Y-4 F600
///   ...
///   G0 Z5
///   M30
/// Rapid moves travel at the clearance height and come down only to the top of what is left;
/// every move into the material is fed at the plunge feed and every cut at the feed; arcs carry
/// their centre relative to their start; with a step-down the path is cut again at each depth.
/// Raises ProgramFormatError when the program is not one Quorrel writes, and JobRefused when it
/// needs more than kMostPasses passes or a line longer than the controller reads.
void WriteControllerProgram(std::string_view dinProgram, const MachineSettings& settings,
                            ProgramWriter& writer);

/// A destination that takes a program as the window saves it and, once it is complete, passes on
/// the controller's program of it: the same bytes whether the program was just generated or read
/// from a file.
class ControllerProgramSink : public ByteSink {
 public:
  ControllerProgramSink(MachineSettings settings, std::unique_ptr<ByteSink> destination)
      : settings_(settings), destination_(std::move(destination)) {}

  void Write(std::string_view bytes) override { dinProgram_ += bytes; }
  /// Writes the controller's program to the destination. Raises what WriteControllerProgram
  /// raises, and OutputError.
  void Finish() override;

 private:
  MachineSettings settings_;
  std::unique_ptr<ByteSink> destination_;
  std::string dinProgram_;
};

}  // namespace quorrel
