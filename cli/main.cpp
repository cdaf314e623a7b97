#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/decimal_separator.h"
#include "gcode/byte_sink.h"
#include "gcode/save_command.h"

namespace {

enum ExitStatus { kWritten = 0, kFault = 1, kUsage = 2, kCannotWrite = 3 };

int Run(const quorrel::cli::CommandLine& command) {
  using namespace quorrel;
  SaveRequest request = command.request;
  request.decimalSeparator = cli::DecimalSeparatorFromEnvironment();

  const std::string destination = command.outputPath.value_or("standard output");
  const auto askPath = [&](std::string_view, std::string_view) { return destination; };
  OpenProgramWriter open = &ProgramWriter::Open;
  if (!command.outputPath) {
    open = [](const std::string& name) {
      return ProgramWriter(std::make_unique<StreamSink>(stdout, name));
    };
  }

  const SaveResult result = SaveGCode(request, askPath, open);
  if (!result.message.empty()) std::fprintf(stderr, "quorrel-gcode: %s\n", result.message.c_str());
  switch (result.outcome) {
    case SaveOutcome::Written:
      return kWritten;
    case SaveOutcome::CannotWrite:
      return kCannotWrite;
    case SaveOutcome::Cancelled:
    case SaveOutcome::ArithmeticFault:
    case SaveOutcome::Refused:
      break;
  }
  return kFault;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  quorrel::cli::CommandLine command;
  try {
    command = quorrel::cli::ParseCommandLine(arguments);
  } catch (const quorrel::cli::UsageError& error) {
    std::fprintf(stderr, "quorrel-gcode: %s\n%s", error.what(),
                 quorrel::cli::UsageSynopsis().data());
    return kUsage;
  }
  if (command.help) {
    std::fputs(quorrel::cli::HelpText().data(), stdout);
    return std::fflush(stdout) == 0 ? kWritten : kCannotWrite;
  }
  if (command.version) {
    std::fputs("quorrel-gcode 1.00\n", stdout);
    return std::fflush(stdout) == 0 ? kWritten : kCannotWrite;
  }
  return Run(command);
}
