#pragma once

#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/program/program_writer.h"

namespace quorrel {

/// Writes, in the window's program form, the outline cut from outside the contour, as a part is
/// cut out of a sheet: the tool centre runs Tool Radius outside every side, on a circle of
/// Radius + Tool Radius, or round a (rounded) rectangle's corners on arcs of the corner radius
/// plus Tool Radius about the corners' centres (a plain rectangle's corners are arcs of Tool
/// Radius about the corners themselves). The cutter's edge touches the contour and never enters
/// the shape. Counter-clockwise from the start of the bottom side, or from the circle's leftmost
/// point; closes the writer. Raises ArithmeticFault where a number overflows.
void WriteOutsideProfile(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                         std::string_view decimalSeparator);

}  // namespace quorrel
