#include "gcode/program/controller_program.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "gcode/program/controller_arcs.h"
#include "gcode/program/controller_writer.h"
#include "gcode/program/program_reader.h"
#include "gcode/strategy/holding_tabs.h"
#include "gcode/strategy/passes.h"
#include "gcode/strategy/reversed_paths.h"
#include "gcode/toolpath/kept_toolpath.h"
#include "gcode/toolpath/toolpath_tee.h"

namespace quorrel {
namespace {

// The stages every pass's moves go through on their way to the program: arcs as a controller
// reads them, the ramp, the direction, the tabs, the centres as written.
class PassRoad {
 public:
  PassRoad(const MachineSettings& settings, bool clockwise, const ControllerProgramParts& parts,
           ToolpathSink& program)
      : centers_(program) {
    const ProgramNotice& notice = parts.notice;
    ToolpathSink* next = &centers_;
    if (parts.tabs != nullptr) next = &tabs_.emplace(*next, *parts.tabs);
    if (clockwise) next = &reversed_.emplace(*next);
    if (settings.entry == Entry::Ramp) {
      next = &ramp_.emplace(*next, settings.rampAngle, clockwise, notice);
    }
    // With nothing between them, the arcs are made as the controller reads them in one stage.
    if (next == &centers_) next = &program;
    arcs_.emplace(*next, next == &program);
  }

  ToolpathSink& start() { return *arcs_; }

 private:
  WrittenArcCenters centers_;
  std::optional<HoldingTabs> tabs_;
  std::optional<ReversedPaths> reversed_;
  std::optional<RampEntry> ramp_;
  std::optional<ArcsBetweenEnds> arcs_;
};

}  // namespace

void RunControllerToolpath(const ToolpathSource& paths, const MachineSettings& settings,
                           const ControllerProgramParts& parts, ToolpathSink& program) {
  const bool clockwise = CutsClockwise(settings.direction, parts.outside);
  // The passes and the finishing pass tell of the same thing once.
  ControllerProgramParts told = parts;
  if (parts.notice) {
    told.notice = [notice = parts.notice,
                   heard = std::make_shared<std::set<std::string>>()](const std::string& message) {
      if (heard->insert(message).second) notice(message);
    };
  }
  PassRoad road(settings, clockwise, told, program);
  Passes passes(road.start(), settings, true, kUnknownPoint);
  // The later passes cut what the first cut: kept as it goes by, it need not be made again.
  std::optional<KeptToolpath> firstPass;
  paths(settings.stepDown ? firstPass.emplace(passes) : static_cast<ToolpathSink&>(passes));
  for (long long pass = 2; pass <= passes.count(); ++pass) {
    passes.StartPass(pass);
    if (firstPass && firstPass->kept()) {
      firstPass->Replay(passes);
    } else {
      paths(passes);
    }
  }
  // Where the passes leave the tool: where their last move, through every stage, ends.
  ToolPoint at = passes.at();
  if (parts.finishingPath != nullptr) {
    // Once along the wall at full depth, whatever the step-down.
    MachineSettings wholeDepth = settings;
    wholeDepth.stepDown.reset();
    PassRoad wallRoad(wholeDepth, clockwise, told, program);
    Passes wall(wallRoad.start(), wholeDepth, false, at);
    (*parts.finishingPath)(wall);
    at = wall.at();
  }
  ToolMove up{.kind = MoveKind::Rapid, .from = at, .to = {at.x, at.y, Coord::Of(settings.safeZ)}};
  up.words = kWordZ;
  program.Move(up);
}

void WriteControllerProgram(const ToolpathSource& paths, const MachineSettings& settings,
                            const ControllerProgramParts& parts,
                            std::unique_ptr<ByteSink> destination) {
  ProgramWriter writer(std::move(destination), ProgramWriter::LineEnd::Lf);
  ControllerWriter text(settings, writer);
  // The moves go to the onlooker too, where there is one.
  std::optional<ToolpathTee> observed;
  if (parts.observer != nullptr) observed.emplace(text, parts.observer);
  RunControllerToolpath(paths, settings, parts,
                        observed ? static_cast<ToolpathSink&>(*observed) : text);
  text.Finish();
}

void ConvertWindowProgram(std::string_view program, const MachineSettings& settings,
                          const ProgramNotice& notice, std::unique_ptr<ByteSink> destination) {
  // Read whole first: a program that is not one Quorrel writes is refused before a line of its
  // conversion is written.
  struct Ending final : ToolpathSink {
    void Title(const ProgramTitle&) override {}
    void Move(ToolMove&) override {}
    void End(const ProgramEnd&) override { ended = true; }
    bool ended = false;
  } ending;
  ReadWindowProgram(program, ending);
  if (!ending.ended) {
    throw ProgramFormatError(static_cast<int>(std::count(program.begin(), program.end(), '\n')) + 1,
                             "the program ends before its M30 line");
  }
  ControllerProgramParts parts;
  parts.notice = notice;
  WriteControllerProgram([program](ToolpathSink& sink) { ReadWindowProgram(program, sink); },
                         settings, parts, std::move(destination));
}

}  // namespace quorrel
