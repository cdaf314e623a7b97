#pragma once

#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/program/program_writer.h"
#include "gcode/shapes/pocket_fill.h"

namespace quorrel {

/// Writes the program of the job's shape with that shape's generator, which closes the writer.
/// `decimalSeparator` is the user's locale's, for the one number a comment quotes. A Fill's rings
/// lie `spacing` apart.
void WriteProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                  std::string_view decimalSeparator, const RingSpacing& spacing = {});

}  // namespace quorrel
