// Random controller settings and field texts through a job's whole road, as quorrel-gcode and the
// window take them: a program that ends with M30 and reads back, or a refusal with a message and
// not a byte written; never more than the largest program the settings allow.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gcode/job/field_table.h"
#include "gcode/machines/machine.h"
#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/numbers/parse_field_number.h"
#include "gcode/output/byte_sink.h"
#include "gcode/program/program_reader.h"
#include "gcode/save/save_command.h"
#include "gcode/shapes/operation.h"
#include "gcode/toolpath/toolpath_recording.h"

namespace {

// The settings a text of the input may give, in its order.
constexpr quorrel::Setting kGiven[] = {
    quorrel::Setting::Feed,     quorrel::Setting::PlungeFeed, quorrel::Setting::StepDown,
    quorrel::Setting::Stepover, quorrel::Setting::RampAngle,  quorrel::Setting::Finish,
    quorrel::Setting::Tabs,     quorrel::Setting::TabWidth,   quorrel::Setting::TabHeight,
    quorrel::Setting::TabAngle, quorrel::Setting::Spindle,    quorrel::Setting::SpindleDelay,
    quorrel::Setting::SafeZ,    quorrel::Setting::Peck,       quorrel::Setting::ChipBreak,
    quorrel::Setting::Dwell,    quorrel::Setting::RetractZ,
};

// The most a program can hold per pass: the job fuzzer's bound on the window's program, with a
// controller's longest lines, a ramp's 200 lines and a tab's pieces beside each. It holds a
// program's holes too, of at most a million pecks in three lines each, and a facing's strokes.
constexpr std::size_t kMostRings = 32767 * 3 / 2 + 100;
constexpr std::size_t kMostLinesAPass = 12 + 9 * kMostRings + 200 + 64 * 2 * 256;
constexpr std::size_t kLongestLine = 256;
// Beyond this the program is not read back, to keep each run short.
constexpr std::size_t kLongestReadBack = 16 * 1024 * 1024;

std::string_view NextText(std::string_view& rest) {
  const std::size_t end = rest.find('\x1f');
  const std::string_view text = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return text;
}

// Keeps what is written, finished or not, up to a bound, and counts all of it.
class Kept final : public quorrel::ByteSink {
 public:
  Kept(std::string& bytes, std::size_t& written) : bytes_(bytes), written_(written) {}
  void Write(std::string_view bytes) override {
    written_ += bytes.size();
    if (bytes_.size() < kLongestReadBack) bytes_ += bytes;
  }
  void Finish() override {}

 private:
  std::string& bytes_;
  std::size_t& written_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t flags = data[0];
  quorrel::Machine machine;
  machine.dialect = (flags & 1) != 0 ? quorrel::Dialect::Grbl : quorrel::Dialect::LinuxCnc;
  machine.units = (flags & 2) != 0 ? quorrel::Units::Inches : quorrel::Units::Millimetres;
  machine.feed = 600;
  if ((flags & 4) != 0) machine.direction = quorrel::Direction::Conventional;
  if ((flags & 8) != 0) machine.entry = quorrel::Entry::Ramp;
  quorrel::SaveRequest request;
  request.shape = quorrel::Operations()[data[1] % quorrel::Operations().size()].kind;
  request.fill = (flags & 16) != 0;
  request.strategy.outside = (flags & 32) != 0;
  std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  for (const quorrel::FieldDescription& field : quorrel::kJobFields) {
    if (!rest.empty()) request.texts.*field.text = std::string(NextText(rest));
  }
  // Each setting as the command line or the machines file takes it: a text it refuses is left
  // out, as a usage error would leave the job unwritten.
  for (const quorrel::Setting setting : kGiven) {
    if (rest.empty()) break;
    const std::string_view text = NextText(rest);
    if (!text.empty()) (void)quorrel::SetSetting(machine, setting, text);
  }
  if (quorrel::MachineProblem(machine)) return 0;  // a usage error, told before the job
  request.machine = quorrel::SettingsOf(machine);
  quorrel::ApplyStrategy(machine, request.shape, request.fill, request.strategy);
  // A run of a few passes at most, so that each input is quick.
  double depth = 0.0;
  try {
    depth = std::fabs(quorrel::ParseFieldNumber(request.texts.DepthText));
  } catch (const quorrel::ArithmeticFault&) {
    // A Depth too large to compute with: the save says so.
  }
  if (request.machine.stepDown && !(*request.machine.stepDown * 16 >= depth)) return 0;
  if (request.machine.drill.peck && !(*request.machine.drill.peck * 64 >= depth)) return 0;

  std::string bytes;
  std::size_t written = 0;
  const quorrel::SaveResult result = quorrel::SaveGCode(
      request, [] { return std::string("memory"); },
      [&](const std::string&) { return std::make_unique<Kept>(bytes, written); });
  const std::size_t passes = 16 + 2;  // and the finishing pass
  if (written > passes * kMostLinesAPass * kLongestLine) std::abort();
  switch (result.outcome) {
    case quorrel::SaveOutcome::Written: {
      if (!bytes.ends_with("M30\n")) std::abort();
      if (written > bytes.size()) break;  // too long to read back here
      quorrel::ToolpathRecording read;
      try {
        quorrel::ReadControllerProgram(bytes, read);
      } catch (const quorrel::ProgramFormatError&) {
        std::abort();  // a program Quorrel wrote that its own reader refuses
      }
      if (!read.ended()) std::abort();
      break;
    }
    case quorrel::SaveOutcome::ArithmeticFault:
    case quorrel::SaveOutcome::Refused:
      if (result.message.empty()) std::abort();
      if (written != 0) std::abort();  // a refusal is known before the first byte
      break;
    case quorrel::SaveOutcome::Cancelled:
    case quorrel::SaveOutcome::CannotWrite:
      std::abort();  // the answer was a path and memory takes every byte
  }
  return 0;
}
