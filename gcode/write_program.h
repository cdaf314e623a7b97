#pragma once

#include <string_view>

#include "gcode/field_texts.h"
#include "gcode/job_parameters.h"
#include "gcode/pocket_fill.h"
#include "gcode/program_writer.h"

namespace quorrel {

/// Writes the program of the job's shape with that shape's generator, which closes the writer.
/// `decimalSeparator` is the user's locale's, for the one number a comment quotes. A Fill's rings
/// lie `spacing` apart.
void WriteProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                  std::string_view decimalSeparator, const RingSpacing& spacing = {});

}  // namespace quorrel
