#pragma once

#include <optional>

#include "gcode/save/checked_job.h"
#include "gcode/save/program_request.h"

namespace quorrel {

/// What the writing of a job's program would find wrong with it, found before a byte of it is
/// written: a Fill whose rings cannot be counted or spaced (more than a program holds, a step that
/// rounds to nothing, a Tool Radius of 0), and for a controller more passes than a program may
/// cut, a title it would act on, and a line longer than it reads. Raises ArithmeticFault or
/// JobRefused as the writing would; returns where it finds nothing.
///
/// A Fill's ring count and step are known once its first ring is made, so only that much of its
/// toolpath is made. A line's length is bounded by the longest number text the job's sizes allow;
/// only a job whose bound passes the controller's limit (coordinates of a thousand kilometres, in
/// practice) is written in full, to no destination, to find its longest line.
void CheckProgram(const SaveRequest& request, const CheckedJob& job);

}  // namespace quorrel
