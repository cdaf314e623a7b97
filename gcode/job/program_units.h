#pragma once

#include <string>

#include "gcode/job/job_parameters.h"
#include "gcode/job/machine_settings.h"

namespace quorrel {

/// The length whose thousandths a program's paths are made in. A controller's inch program is
/// written in ten-thousandths of an inch, as inch drawings are dimensioned (a 3/8 in cutter
/// finishing a 2 in bore leaves the wall at R .8125), so its paths are made in tenths of an inch
/// and its coordinates written with the point one place further left. Every other program is made
/// in its machine's unit.
class ProgramUnits {
 public:
  /// The machine's own unit, as the window's programs and millimetre programs are made.
  constexpr ProgramUnits() = default;
  /// The units the program for `settings` is made in.
  static ProgramUnits Of(const MachineSettings& settings) {
    return ProgramUnits(settings.dialect != Dialect::Din && settings.units == Units::Inches);
  }

  /// True where a program unit is a tenth of the machine's.
  bool tenths() const { return tenths_; }
  /// A length of the machine's unit in program units, and back.
  double FromMachine(double length) const { return tenths_ ? length * 10.0 : length; }
  double ToMachine(double length) const { return tenths_ ? length / 10.0 : length; }
  /// A length made in program units as the machinist reads it, in the machine's unit, to the
  /// program's resolution: Text(8.125) is "8.125" in millimetres and ".8125" in inches.
  std::string Text(double length) const;
  /// The same of a length held in 32 bits, to its 7 significant digits, as a Depth is written.
  std::string Text(float length) const;

  bool operator==(const ProgramUnits&) const = default;

 private:
  explicit constexpr ProgramUnits(bool tenths) : tenths_(tenths) {}

  bool tenths_ = false;
};

/// The settings with their lengths (the clearance height, the step-down, a peck and the retract
/// height) in the program's units.
MachineSettings InProgramUnits(const MachineSettings& settings);

/// A job of the machine's unit in program units, its sizes rounded as MakeJobParameters rounds
/// them; and a job of program units in the machine's unit, for what is shown of it.
JobParameters InProgramUnits(const JobParameters& job, ProgramUnits units);
JobParameters InMachineUnits(const JobParameters& job, ProgramUnits units);

}  // namespace quorrel
