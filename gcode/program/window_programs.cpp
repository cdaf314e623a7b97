#include "gcode/program/window_programs.h"

#include "gcode/output/byte_sink.h"
#include "gcode/program/window_program_writer.h"
#include "gcode/shapes/circle_toolpath.h"
#include "gcode/shapes/rectangle_toolpath.h"
#include "gcode/shapes/rounded_rectangle_toolpath.h"
#include "gcode/shapes/shape_toolpath.h"

namespace quorrel {

void WriteRectangleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                           const RingSpacing& spacing) {
  WindowProgramWriter program(writer);
  MakeRectangleToolpath(job, texts, program, spacing);
  writer.Close();
}

void WriteCircleProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                        const RingSpacing& spacing) {
  WindowProgramWriter program(writer);
  MakeCircleToolpath(job, texts, program, spacing);
  writer.Close();
}

void WriteRoundedRectangleProgram(const JobParameters& job, const FieldTexts& texts,
                                  ProgramWriter& writer, std::string_view decimalSeparator,
                                  const RingSpacing& spacing) {
  WindowProgramWriter program(writer);
  MakeRoundedRectangleToolpath(job, texts, decimalSeparator, program, spacing);
  writer.Close();
}

void WriteProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                  std::string_view decimalSeparator, const RingSpacing& spacing) {
  WindowProgramWriter program(writer);
  MakeShapeToolpath(job, texts, decimalSeparator, program, spacing);
  writer.Close();
}

void WriteStrategyProgram(const JobParameters& job, const FieldTexts& texts, ProgramWriter& writer,
                          std::string_view decimalSeparator, const CuttingStrategy& strategy) {
  WindowProgramWriter program(writer);
  MakeStrategyToolpath(job, texts, decimalSeparator, strategy, program);
  writer.Close();
}

std::string FinishingPassProgram(const JobParameters& job, const FieldTexts& texts,
                                 std::string_view decimalSeparator,
                                 const CuttingStrategy& strategy) {
  std::string bytes;
  ProgramWriter writer(std::make_unique<StringSink>(bytes));
  WindowProgramWriter program(writer);
  MakeFinishingPath(job, texts, decimalSeparator, strategy, program);
  writer.Close();
  return bytes;
}

}  // namespace quorrel
