#pragma once

#include "gcode/field_texts.h"
#include "gcode/job_parameters.h"
#include "gcode/pocket_fill.h"
#include "gcode/program_writer.h"

namespace quorrel {

/// Writes the whole program for an axis-parallel rectangle, outline or Fill, and closes the
/// writer. The tool centre keeps Tool Radius inside every side; a Fill's rings lie `spacing`
/// apart. On an arithmetic fault it stops where the fault happens and raises ArithmeticFault, and
/// the writer, never closed, abandons the program. Raises JobRefused, before writing anything, for
/// a job that cannot be cut.
void WriteRectangleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                           const RingSpacing& spacing = {});

}  // namespace quorrel
