#include "gcode/program/controller_program.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "gcode/program/controller_writer.h"
#include "gcode/program/program_reader.h"
#include "gcode/toolpath/program_unit_stages.h"
#include "gcode/toolpath/toolpath_tee.h"

namespace quorrel {

void RunControllerToolpath(const ToolpathSource& paths, const MachineSettings& settings,
                           const ControllerProgramParts& parts, ToolpathSink& program,
                           RepeatableCuts* repeatable) {
  RunControllerPasses(paths, settings, parts, program,
                      parts.onlookers.empty() ? repeatable : nullptr);
}

void WriteControllerProgram(const ToolpathSource& paths, const MachineSettings& settings,
                            const ControllerProgramParts& parts,
                            std::unique_ptr<ByteSink> destination) {
  ProgramWriter writer(std::move(destination), ProgramWriter::LineEnd::Lf);
  ControllerWriter text(settings, writer);
  // The moves go to the onlooker too, where there is one.
  if (!parts.onlookers.empty()) {
    ToolpathTee observed(text, parts.onlookers);
    RunControllerPasses(paths, settings, parts, observed, nullptr);
  } else {
    RunControllerPasses(paths, settings, parts, text, &text);
  }
  text.Finish();
}

void ConvertWindowProgram(std::string_view program, const MachineSettings& settings,
                          const ProgramNotice& notice, std::unique_ptr<ByteSink> destination) {
  // Read whole first: a program that is not one Quorrel writes is refused before a line of its
  // conversion is written.
  struct Ending final : ToolpathSink {
    void Title(const ProgramTitle&) override {}
    void Move(ToolMove&) override {}
    void End() override { ended = true; }
    bool ended = false;
  } ending;
  ReadWindowProgram(program, ending);
  if (!ending.ended) {
    throw ProgramFormatError(static_cast<int>(std::count(program.begin(), program.end(), '\n')) + 1,
                             "the program ends before its M30 line");
  }
  ControllerProgramParts parts;
  parts.notice = notice;
  const MachineSettings inProgramUnits = InProgramUnits(settings);
  WriteControllerProgram(
      [program, &inProgramUnits](ToolpathSink& sink) {
        if (!ProgramUnits::Of(inProgramUnits).tenths()) {
          ReadWindowProgram(program, sink);
          return;
        }
        IntoProgramUnits tenths(sink);
        ReadWindowProgram(program, tenths);
      },
      inProgramUnits, parts, std::move(destination));
}

}  // namespace quorrel
