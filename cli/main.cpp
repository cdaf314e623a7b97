#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/command_line.h"
#include "cli/decimal_separator.h"
#include "gcode/estimate/run_time.h"
#include "gcode/job/job_parameters.h"
#include "gcode/job/job_refusal.h"
#include "gcode/jobs/job_file.h"
#include "gcode/jobs/job_program.h"
#include "gcode/jobs/operations_recording.h"
#include "gcode/machines/machines_file.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/output/byte_sink.h"
#include "gcode/output/output_error.h"
#include "gcode/output/program_destination.h"
#include "gcode/preview/toolpath_drawing.h"
#include "gcode/program/controller_program.h"
#include "gcode/program/program_reader.h"
#include "gcode/save/job_preview.h"
#include "gcode/save/save_command.h"
#include "gcode/save/write_job.h"
#include "gcode/strategy/cutting_strategy.h"
#include "gcode/strategy/tab_plan.h"
#include "gcode/toolpath/toolpath_recording.h"
#include "gcode/toolpath/toolpath_tee.h"
#include "gcode/version.h"

namespace {

using namespace quorrel;

enum ExitStatus { kWritten = 0, kFault = 1, kUsage = 2, kCannotWrite = 3 };

// No program Quorrel writes comes near this; anything larger is not one, and is not read whole.
constexpr std::size_t kLargestProgramRead = 256 * 1024 * 1024;

void Complain(const std::string& message) {
  std::fprintf(stderr, "quorrel-gcode: %s\n", message.c_str());
}

std::unique_ptr<ByteSink> OpenStandardOutput(const std::string&) {
  return std::make_unique<StreamSink>(stdout, kStandardOutputPath);
}

// Standard output, like a pipe, receives the complete output or nothing: a program converted
// from a saved one waits whole before it goes there.
std::unique_ptr<ByteSink> OpenDestination(const std::string& path) {
  if (path == kStandardOutputPath) {
    return std::make_unique<WholeProgramSink>(path, OpenStandardOutput);
  }
  return OpenProgramDestination(path);
}

// Standard output for a job's program, which goes there as it is written: every refusal of the
// job is known before its first byte, so only the stream itself can fail on the way. Counts what
// it passed on, so that a failure after the first byte says so.
class StreamedOutput final : public StreamSink {
 public:
  explicit StreamedOutput(std::uint64_t& written)
      : StreamSink(stdout, kStandardOutputPath), written_(written) {}
  void Write(std::string_view bytes) override {
    written_ += bytes.size();
    StreamSink::Write(bytes);
  }

 private:
  std::uint64_t& written_;
};

// Where a program goes: standard output as it is written, or a file once it is complete. Says
// what became of it.
class ProgramOutput {
 public:
  quorrel::OpenDestination opener() {
    return [this](const std::string& path) -> std::unique_ptr<ByteSink> {
      if (path == kStandardOutputPath) return std::make_unique<StreamedOutput>(streamed_);
      return OpenProgramDestination(path);
    };
  }

  // The exit status of the save, with its message told.
  int Status(const SaveResult& result) const {
    if (!result.message.empty()) Complain(result.message);
    if (result.outcome != SaveOutcome::Written && result.outcome != SaveOutcome::CannotWrite &&
        streamed_ > 0) {
      Complain("Standard output received part of the program before that: it is not complete.");
    }
    switch (result.outcome) {
      case SaveOutcome::Written:
        return kWritten;
      case SaveOutcome::CannotWrite:
        return kCannotWrite;
      default:
        return kFault;
    }
  }

 private:
  std::uint64_t streamed_ = 0;
};

// A machine setting's mistake, named as the machinist gave the setting: by its option, or as
// the named machine's.
cli::UsageError SettingMistake(const cli::CommandLine& command, std::string_view key,
                               const std::string& words) {
  const std::string option = "--" + std::string(key);
  return cli::UsageError(
      (command.given.contains(option) || !command.machineName
           ? option
           : "the " + std::string(key) + " of the machine \"" + *command.machineName + "\"") +
      " " + words);
}

// An allowance that pushes the paths past the middle of the shape, or leaves more than the
// finishing pass can take, is a mistake in the command, found before anything is written.
void RequireSoundAllowance(const cli::CommandLine& command) {
  SaveRequest request = command.request;
  request.machine = command.machine;
  if (command.from || !request.strategy.finishAllowance) return;
  CheckedJob job = CheckedJob::SettingsOf(request);
  std::optional<std::string> problem;
  try {
    job.parameters =
        MakeJobParameters(request.texts, request.shape, request.fill, job.units().FromMachine(1.0));
  } catch (const ArithmeticFault&) {
    return;  // which the save then says
  }
  try {
    problem = AllowanceProblem(job.parameters, job.strategy, job.units());
  } catch (const ArithmeticFault& fault) {
    problem = std::string("cannot be added to the Tool Radius: ") + fault.what();
  }
  if (problem) throw SettingMistake(command, "finish", *problem);
}

// True when two destinations are one file, however they are spelled: through "./", an absolute
// path, or a symbolic link.
bool SameFile(const std::string& a, const std::string& b) {
  if (a == kStandardOutputPath || b == kStandardOutputPath) return a == b;
  std::error_code error;
  if (std::filesystem::equivalent(a, b, error)) return true;
  const auto resolved = [&error](const std::string& path) {
    return std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
  };
  return resolved(a) == resolved(b) && !error;
}

void RequireDistinctFiles(const cli::CommandLine& command) {
  if (command.from && command.outputPath && SameFile(*command.from, *command.outputPath)) {
    throw cli::UsageError(
        "the program to convert and the converted program need two different "
        "files");
  }
  if (!command.previewPath) return;
  for (const std::optional<std::string>& other : {command.outputPath, command.previewOf}) {
    if (other && SameFile(*command.previewPath, *other)) {
      throw cli::UsageError("the program and its preview need two different files");
    }
  }
}

// The bytes of a program to read, or a message that says why there are none.
std::string ReadProgramFile(const std::string& path) {
  const std::string name = "The program \"" + path + "\"";
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw std::runtime_error(name + " cannot be read: " + SystemReason(errno));
  std::string bytes;
  // Room for the whole file at once: a program read in doubling steps would take twice its size.
  struct stat status {};
  if (::fstat(::fileno(file), &status) == 0 && S_ISREG(status.st_mode) &&
      static_cast<std::size_t>(status.st_size) < kLargestProgramRead) {
    bytes.reserve(static_cast<std::size_t>(status.st_size));
  }
  char block[64 * 1024];
  std::size_t got = 0;
  errno = 0;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0 &&
         bytes.size() < kLargestProgramRead) {
    bytes.append(block, got);
  }
  const int error = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (error != 0) throw std::runtime_error(name + " cannot be read: " + SystemReason(error));
  if (bytes.size() >= kLargestProgramRead) {
    throw std::runtime_error(name + " is larger than any program Quorrel writes.");
  }
  if (bytes.empty()) throw std::runtime_error(name + " is empty.");
  return bytes;
}

std::string NotQuorrels(const std::string& path, const ProgramFormatError& error) {
  return "The program \"" + path + "\" is not one Quorrel writes (" + error.what() + ").";
}

// `programWritten` names where the program went when the drawing is made beside it, so that a
// drawing that fails does not leave the machinist wondering about the program.
int WritePreview(const cli::CommandLine& command, const ToolpathRecording& toolpath,
                 const PreviewContext& context, const std::string& programWritten = {}) {
  try {
    std::unique_ptr<ByteSink> sink = OpenDestination(*command.previewPath);
    sink->Write(DrawToolpathSvg(toolpath, context));
    sink->Finish();
  } catch (const OutputError& error) {
    std::string message = error.what();
    if (!programWritten.empty()) {
      message +=
          " The program itself was written whole to " + DestinationName(programWritten) + ".";
    }
    Complain(message);
    return kCannotWrite;
  }
  return kWritten;
}

int DrawExistingProgram(const cli::CommandLine& command) {
  try {
    ToolpathRecording toolpath;
    const std::string program = ReadProgramFile(*command.previewOf);
    ReadAnyProgram(program, toolpath);
    if (!toolpath.ended()) {
      throw std::runtime_error("The program \"" + *command.previewOf +
                               "\" has no M30 end line: it is not complete.");
    }
    PreviewContext context;
    context.units = UnitsOfProgram(program);
    if (command.toolRadiusGiven) {
      context.toolRadius = context.units.ToMachine(
          MakeToolRadius(command.request.texts, context.units.FromMachine(1.0)));
    }
    return WritePreview(command, toolpath, context);
  } catch (const ProgramFormatError& error) {
    Complain(NotQuorrels(*command.previewOf, error));
    return kFault;
  } catch (const std::runtime_error& error) {  // an unreadable program or an arithmetic fault
    Complain(error.what());
    return kFault;
  }
}

// Writes a program saved earlier in the command's dialect: the same bytes as writing the job that
// made it.
int ConvertProgram(const cli::CommandLine& command) {
  const std::string destination = command.outputPath.value_or(kStandardOutputPath);
  try {
    const std::string program = ReadProgramFile(*command.from);
    ConvertWindowProgram(program, command.machine, Complain, OpenDestination(destination));
  } catch (const OutputError& error) {
    Complain(std::string(error.what()) + " " +
             WhatTheDestinationHolds(destination, error.unchanged()));
    return kCannotWrite;
  } catch (const ProgramFormatError& error) {
    Complain(NotQuorrels(*command.from, error) + " Nothing was written.");
    return kFault;
  } catch (const JobRefused& refused) {  // it waited whole, so none of it went out
    Complain(std::string(refused.what()) + " Nothing was written.");
    return kFault;
  } catch (const std::runtime_error& error) {  // unreadable
    Complain(error.what());
    return kFault;
  }
  return kWritten;
}

int PrintAndExit(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? kWritten : kCannotWrite;
}

// The request the command makes: its job for its machine, with the locale's decimal separator.
SaveRequest RequestOf(const cli::CommandLine& command) {
  SaveRequest request = command.request;
  request.decimalSeparator = cli::DecimalSeparatorFromEnvironment();
  request.machine = command.machine;
  return request;
}

// A refusal of the job, said as the command's mistake (a setting, named by its option: exit 2)
// or as the job's (exit 1).
int Refused(const cli::CommandLine& command, const SaveResult& result) {
  if (!result.setting.empty()) {
    const cli::UsageError mistake = SettingMistake(command, result.setting, result.settingWords);
    std::fprintf(stderr, "quorrel-gcode: %s\n%s", mistake.what(), cli::UsageSynopsis().data());
    return kUsage;
  }
  Complain(result.message);
  return kFault;
}

// Prints how long the job's program runs, and draws it where asked; writes no program.
int EstimateRunTime(const cli::CommandLine& command) {
  const SaveRequest request = RequestOf(command);
  CheckedJob job;
  if (auto refused = CheckJob(request, job)) return Refused(command, *refused);
  // The moves are kept only for a drawing.
  ToolpathRecording moves;
  RunTimeEstimate estimate(request.machine);
  const Onlookers onlookers{&estimate};
  ToolpathTee seen(moves, onlookers);
  try {
    if (command.previewPath) {
      MakeJobToolpath(request, job, seen, Complain);
    } else {
      MakeJobToolpath(request, job, estimate, Complain, &estimate);
    }
  } catch (const std::runtime_error& error) {  // what the check found already, or a fault
    Complain(error.what());
    return kFault;
  }
  PreviewContext context = PreviewContextOf(job);
  context.runTime = estimate.Finish();
  const int printed = PrintAndExit(RunTimeText(*context.runTime) + "\n");
  if (printed != kWritten || !command.previewPath) return printed;
  return WritePreview(command, moves, context);
}

int WriteJob(const cli::CommandLine& command) {
  const SaveRequest request = RequestOf(command);
  const std::string destination = command.outputPath.value_or(kStandardOutputPath);
  ToolpathRecording moves;
  RunTimeEstimate estimate(request.machine);
  ProgramObservers observers;
  observers.notice = Complain;
  if (command.previewPath) {
    observers.moves.push_back(&moves);
    if (request.machine.dialect != Dialect::Din) observers.moves.push_back(&estimate);
  }
  ProgramOutput output;
  CheckedJob job;
  const SaveResult result = SaveGCode(
      request, [&] { return destination; }, output.opener(), observers, &job);
  // Tabs that hold nothing up, take too much of the outline or crowd one another are a mistake
  // in the command, named by its option.
  if (!result.setting.empty()) return Refused(command, result);
  if (const int status = output.Status(result); status != kWritten) return status;
  if (!command.previewPath) return kWritten;
  PreviewContext context = PreviewContextOf(job);
  if (request.machine.dialect != Dialect::Din) context.runTime = estimate.Finish();
  return WritePreview(command, moves, context, destination);
}

// Writes the program of a job file, or prints how long it runs, and draws it where asked.
int WriteJobFile(const cli::CommandLine& command) {
  JobMachineSources sources;
  sources.machinesPath = MachinesFilePath();
  if (!sources.machinesPath.empty()) sources.machines = ReadMachinesFile(sources.machinesPath);
  sources.given = command.besideJob;
  std::variant<Job, std::string> read = ReadJobFile(*command.job, sources);
  if (const auto* mistake = std::get_if<std::string>(&read)) {
    std::fprintf(stderr, "quorrel-gcode: %s\n%s", mistake->c_str(), cli::UsageSynopsis().data());
    return kUsage;
  }
  Job& job = std::get<Job>(read);
  const std::string separator = cli::DecimalSeparatorFromEnvironment();
  for (JobOperation& operation : job.operations) operation.request.decimalSeparator = separator;

  // The moves are kept only for a drawing.
  const bool drawn = command.previewPath.has_value();
  OperationsRecording recording(job, drawn);
  std::vector<CheckedJob> checked;
  if (command.estimate) {
    if (auto refused = CheckOperations(job, checked)) {
      Complain(refused->message);
      return kFault;
    }
    try {
      recording.Make(checked, Complain);
    } catch (const std::runtime_error& error) {
      Complain(error.what());
      return kFault;
    }
    const PreviewContext context = recording.Context(checked);
    const int printed = PrintAndExit(RunTimeText(*context.runTime) + "\n");
    if (printed != kWritten || !drawn) return printed;
    return WritePreview(command, recording.moves(), context);
  }
  const std::string destination = command.outputPath.value_or(kStandardOutputPath);
  ProgramOutput output;
  ProgramObservers observers;
  observers.notice = Complain;
  const SaveResult result = SaveOperationsProgram(
      job, [&] { return destination; }, output.opener(),
      drawn ? recording.Observers(Complain) : observers, &checked);
  if (const int status = output.Status(result); status != kWritten) return status;
  if (!drawn) return kWritten;
  return WritePreview(command, recording.moves(), recording.Context(checked), destination);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  cli::CommandLine command;
  try {
    command = cli::ParseCommandLine(arguments);
    RequireDistinctFiles(command);
    RequireSoundAllowance(command);
  } catch (const cli::UsageError& error) {
    std::fprintf(stderr, "quorrel-gcode: %s\n%s", error.what(), cli::UsageSynopsis().data());
    return kUsage;
  }
  if (command.help) return PrintAndExit(cli::HelpText());
  if (command.version) return PrintAndExit("quorrel-gcode " + std::string(kVersion) + "\n");
  if (command.job) return WriteJobFile(command);
  if (command.previewOf) return DrawExistingProgram(command);
  if (command.from) return ConvertProgram(command);
  if (command.estimate) return EstimateRunTime(command);
  return WriteJob(command);
}
