#pragma once

#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/program/program_writer.h"
#include "gcode/shapes/pocket_fill.h"

namespace quorrel {

/// Writes the whole program for a rectangle whose corners are quarter circles of radius
/// CornerRadius, outline or Fill, and closes the writer. A corner is cut as an arc when the
/// corner radius exceeds the path's inset, square otherwise. The title quotes the corner radius
/// with `decimalSeparator`, the user's locale's. A Fill's rings lie `spacing` apart, at most
/// kLargestSquareStepover. On an arithmetic fault it stops where the fault happens and raises
/// ArithmeticFault, and the writer, never closed, abandons the program. Raises JobRefused, before
/// writing anything, for a job that cannot be cut.
void WriteRoundedRectangleProgram(const JobParameters& job, const FieldTexts& texts,
                                  ProgramWriter& writer, std::string_view decimalSeparator,
                                  const RingSpacing& spacing = {});

}  // namespace quorrel
