#pragma once

#include <string>
#include <string_view>

#include "gcode/job/field_texts.h"
#include "gcode/job/job_parameters.h"
#include "gcode/program/program_writer.h"
#include "gcode/shapes/pocket_fill.h"
#include "gcode/strategy/cutting_strategy.h"

namespace quorrel {

/// The window's own programs, each written whole and the writer closed: the toolpath of the
/// shape's generator, in the window's program's lines. On an arithmetic fault it raises
/// ArithmeticFault, and the writer, never closed, abandons the program. Raises JobRefused, before
/// writing anything, for a job that cannot be cut.
void WriteRectangleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                           const RingSpacing& spacing = {});
void WriteCircleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                        const RingSpacing& spacing = {});
void WriteRoundedRectangleProgram(const JobParameters& job, const FieldTexts& texts,
                                  ProgramWriter& writer, std::string_view decimalSeparator,
                                  const RingSpacing& spacing = {});

/// The program of the job's shape with that shape's generator. `decimalSeparator` is the user's
/// locale's, for the one number a title quotes.
void WriteProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                  std::string_view decimalSeparator, const RingSpacing& spacing = {});

/// The program of the job's paths as `strategy` cuts them, in the window's program's lines.
void WriteStrategyProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                          std::string_view decimalSeparator, const CuttingStrategy& strategy);

/// The finishing pass of `strategy`, in the window's program's lines.
std::string FinishingPassProgram(const JobParameters& job, const FieldTexts& texts,
                                 std::string_view decimalSeparator,
                                 const CuttingStrategy& strategy);

}  // namespace quorrel
