#pragma once

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/program/program_writer.h"
#include "gcode/shapes/pocket_fill.h"

namespace quorrel {

/// Writes the whole program for a circle of radius CornerRadius, outline or Fill, and closes
/// the writer. Every circle is two counter-clockwise half arcs from its leftmost point, the first
/// carrying the centre as absolute I and J. A Fill's rings lie `spacing` apart. On an arithmetic
/// fault it stops where the fault happens and raises ArithmeticFault, and the writer, never
/// closed, abandons the program. Raises JobRefused, before writing anything, for a job that
/// cannot be cut.
void WriteCircleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                        const RingSpacing& spacing = {});

}  // namespace quorrel
