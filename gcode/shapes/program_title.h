#pragma once

#include <string>
#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"

namespace quorrel {

/// The title of the job's program, which copies field texts as typed: "rectangle H10 x W10",
/// "Circle R2" or "rectangle rounded corner H10 x W10 R=2", the last quoting the corner radius,
/// rounded as the window's program makes it, with `decimalSeparator`, the user's locale's. CR, LF,
/// "(" and ")" in a text become blanks, so that no typed text can end the comment it stands in, or
/// its line.
std::string ProgramTitleText(const JobParameters& job, const FieldTexts& texts,
                             std::string_view decimalSeparator);

/// Whether a title begins with its shape's own words, as every title of ProgramTitleText does.
bool BeginsWithShapeWords(std::string_view title);

}  // namespace quorrel
