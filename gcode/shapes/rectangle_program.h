#pragma once

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/program/program_writer.h"
#include "gcode/shapes/pocket_fill.h"

namespace quorrel {

/// Writes the whole program for an axis-parallel rectangle, outline or Fill, and closes the
/// writer. The tool centre keeps Tool Radius inside every side; a Fill's rings lie `spacing`
/// apart. On an arithmetic fault it stops where the fault happens and raises ArithmeticFault, and
/// the writer, never closed, abandons the program. Raises JobRefused, before writing anything, for
/// a job that cannot be cut.
void WriteRectangleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                           const RingSpacing& spacing = {});

}  // namespace quorrel
