#pragma once

#include <functional>
#include <memory>

#include "gcode/job/job_parameters.h"
#include "gcode/output/byte_sink.h"
#include "gcode/save/checked_job.h"
#include "gcode/save/program_request.h"
#include "gcode/strategy/controller_road.h"
#include "gcode/toolpath/repeatable_cuts.h"

namespace quorrel {

/// The one road from a job to its program: the job's paths as the request's strategy cuts them,
/// written as the window's own program or as the request's controller runs it, to `destination`,
/// which receives the whole program or, on any failure, nothing. Raises ArithmeticFault,
/// JobRefused and OutputError as the paths and the writers do.
void WriteJobProgram(const SaveRequest& request, const CheckedJob& job,
                     std::unique_ptr<ByteSink> destination, const ProgramObservers& observers = {});
/// The same, of a job of the machine's unit whose tabs are yet to be planned.
void WriteJobProgram(const SaveRequest& request, const JobParameters& job,
                     std::unique_ptr<ByteSink> destination, const ProgramObservers& observers = {});

/// The paths of a controller's job and the parts of its program beside them (its finishing pass,
/// its side, its tabs, who looks on), handed to `use`: the road WriteJobProgram takes to a
/// controller's program, for a program of several jobs.
void UseControllerJob(
    const SaveRequest& request, const CheckedJob& job, const ProgramObservers& observers,
    const std::function<void(const ToolpathSource&, const ControllerProgramParts&)>& use);

/// The moves WriteJobProgram writes the program from, handed to `moves` as they would be written,
/// without a line of the program: what a preview draws. Raises what WriteJobProgram raises, but
/// for the refusals of the program's text (see CheckProgram) and OutputError.
/// Where `moves` is `repeatable` too, a later pass may hand it the first pass's cuts again as a
/// repeat (see RepeatableCuts).
void MakeJobToolpath(const SaveRequest& request, const CheckedJob& job, ToolpathSink& moves,
                     const ProgramNotice& notice, RepeatableCuts* repeatable = nullptr);

}  // namespace quorrel
