#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gcode/jobs/job_file.h"
#include "gcode/output/byte_sink.h"
#include "gcode/save/checked_job.h"
#include "gcode/save/job_preview.h"
#include "gcode/save/save_command.h"

namespace quorrel {

/// The title of a job's program: its file's name and its operations' names, "job plate.toml:
/// circle, rectangle, bolt-circle, rounded-rectangle".
std::string JobTitle(const Job& job);

/// Checks every operation of a job as its own save would, and the lines the job adds (its title,
/// each operation's comment, the tool changes), before anything is written. Returns the first
/// refusal, which names the operation by its number and shape ("Operation 3 (bolt-circle): The
/// holes would overlap: …"), or nothing, with each operation checked into `checked`.
std::optional<SaveResult> CheckOperations(const Job& job, std::vector<CheckedJob>& checked);

/// Writes the program of a checked job to `destination`: the job's title and set-up line, then
/// each operation as its own program cuts it, every move the same, after its comment and, where
/// its tool is not the one before's (the first's too), the change to it (see
/// ControllerWriter::StartOperation); the spindle stopped and M30 at the end. Each operation ends
/// at its clearance height. The destination receives the whole program or nothing; raises what
/// the writing of one operation raises.
void WriteOperationsProgram(const Job& job, const std::vector<CheckedJob>& checked,
                            std::unique_ptr<ByteSink> destination,
                            const ProgramObservers& observers = {});

/// The moves WriteOperationsProgram writes the program from, handed to `observers.moves` as they
/// would be written, without a line of the program: what a preview draws and an estimate times
/// (see OperationsRecording); each operation's start told to `observers`. Raises what the writing
/// raises, but for the program's text's refusals and OutputError.
void MakeOperationsToolpath(const Job& job, const std::vector<CheckedJob>& checked,
                            const ProgramObservers& observers);

/// The title of an operation's own program, which its comment in the job's program quotes.
std::string OperationTitle(const JobOperation& operation, const CheckedJob& checked);

/// The drawing of a job's program, one colour to each tool, with its run time, made from the
/// same moves without writing the program; or why there is none, as the save would say it.
JobPreview DrawOperationsPreview(const Job& job);

/// Saves a job's program as SaveGCode saves one operation's: checked whole first, then to the
/// path `askPath` gives, which keeps what it held on any failure.
/// `checked`, where given, receives the operations as the check made them.
SaveResult SaveOperationsProgram(const Job& job, const ShowSaveDialog& askPath,
                                 const OpenDestination& open = OpenProgramDestination,
                                 const ProgramObservers& observers = {},
                                 std::vector<CheckedJob>* checked = nullptr);

}  // namespace quorrel
