#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/decimal_separator.h"
#include "cli/toolpath_preview.h"
#include "gcode/arithmetic_fault.h"
#include "gcode/byte_sink.h"
#include "gcode/output_error.h"
#include "gcode/program_reader.h"
#include "gcode/save_command.h"

namespace {

using namespace quorrel;

enum ExitStatus { kWritten = 0, kFault = 1, kUsage = 2, kCannotWrite = 3 };

void Complain(const std::string& message) {
  std::fprintf(stderr, "quorrel-gcode: %s\n", message.c_str());
}

// Passes every byte on and keeps a copy, so that the preview shows what the file really holds.
class CopyingSink : public ByteSink {
 public:
  CopyingSink(std::unique_ptr<ByteSink> sink, std::string& copy)
      : sink_(std::move(sink)), copy_(copy) {}
  void Write(std::string_view bytes) override {
    sink_->Write(bytes);
    copy_ += bytes;
  }
  void Finish() override { sink_->Finish(); }

 private:
  std::unique_ptr<ByteSink> sink_;
  std::string& copy_;
};

std::unique_ptr<ByteSink> OpenDestination(const std::string& path) {
  if (path == "-") return std::make_unique<StreamSink>(stdout, "standard output");
  return std::make_unique<FileSink>(path);
}

int WritePreview(const cli::CommandLine& command, const std::string& program,
                 const cli::PreviewContext& context) {
  try {
    const std::string svg = cli::DrawToolpathSvg(ReadProgram(program), context);
    std::unique_ptr<ByteSink> sink = OpenDestination(*command.previewPath);
    sink->Write(svg);
    sink->Finish();
  } catch (const ProgramFormatError& error) {
    Complain("cannot draw the program: it is not one Quorrel writes (" + std::string(error.what()) +
             ")");
    return kFault;
  } catch (const OutputError& error) {
    Complain(error.what());
    return kCannotWrite;
  }
  return kWritten;
}

int DrawExistingProgram(const cli::CommandLine& command) {
  std::ifstream file(*command.previewOf, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  if (!file) {
    Complain("The program \"" + *command.previewOf + "\" cannot be read.");
    return kFault;
  }
  cli::PreviewContext context;
  if (command.toolRadiusGiven) {
    try {
      context.toolRadius =
          MakeJobParameters(command.request.texts, command.request.shape, false).ToolRadius;
    } catch (const ArithmeticFault& fault) {
      Complain(fault.what());
      return kFault;
    }
  }
  return WritePreview(command, bytes.str(), context);
}

int WriteJob(const cli::CommandLine& command) {
  SaveRequest request = command.request;
  request.decimalSeparator = cli::DecimalSeparatorFromEnvironment();

  const std::string destination = command.outputPath.value_or("-");
  std::string written;
  const auto askPath = [&](std::string_view, std::string_view) { return destination; };
  const auto open = [&](const std::string& path) {
    std::unique_ptr<ByteSink> sink = OpenDestination(path);
    if (command.previewPath) sink = std::make_unique<CopyingSink>(std::move(sink), written);
    return ProgramWriter(std::move(sink));
  };

  const SaveResult result = SaveGCode(request, askPath, open);
  if (!result.message.empty()) Complain(result.message);
  switch (result.outcome) {
    case SaveOutcome::Written:
      break;
    case SaveOutcome::CannotWrite:
      return kCannotWrite;
    case SaveOutcome::Cancelled:
    case SaveOutcome::ArithmeticFault:
    case SaveOutcome::Refused:
      return kFault;
  }
  if (!command.previewPath) return kWritten;
  const JobParameters job = MakeJobParameters(request.texts, request.shape, request.fill);
  return WritePreview(command, written, {job, static_cast<double>(job.ToolRadius)});
}

int PrintAndExit(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? kWritten : kCannotWrite;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  cli::CommandLine command;
  try {
    command = cli::ParseCommandLine(arguments);
  } catch (const cli::UsageError& error) {
    std::fprintf(stderr, "quorrel-gcode: %s\n%s", error.what(), cli::UsageSynopsis().data());
    return kUsage;
  }
  if (command.help) return PrintAndExit(cli::HelpText());
  if (command.version) return PrintAndExit("quorrel-gcode 1.00\n");
  if (command.previewOf) return DrawExistingProgram(command);
  return WriteJob(command);
}
