#pragma once

#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/program/program_writer.h"

namespace quorrel {

/// The first line of the job's program, its comment, which copies field texts as typed:
/// "N10 ( rectangle H10 x W10 )", "N10 ( Circle R2 )" or
/// "N10 ( rectangle rounded corner H10 x W10 R=2 )", the last quoting the corner radius with
/// `decimalSeparator`, the user's locale's.
void WriteProgramTitle(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                       std::string_view decimalSeparator);

}  // namespace quorrel
