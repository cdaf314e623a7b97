// Whole jobs from random field texts, shape and Fill: every save ends, never writes more than the
// largest legal program, and what it writes reads back as a well-formed program.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gcode/job/field_table.h"
#include "gcode/job/job_refusal.h"
#include "gcode/output/byte_sink.h"
#include "gcode/program/controller_program.h"
#include "gcode/program/program_reader.h"
#include "gcode/save/save_command.h"
#include "gcode/toolpath/toolpath_recording.h"

namespace {

// The most a program can hold: the title with all three copied texts, the fixed lines, and the
// most rings, nine lines of at most four numbers each. The first ring lies at most 32767 steps
// in; each ring step takes off StepOver (at least 0.0015) rounded to thousandths, so at least
// 0.001: up to half as many rings again as steps, and the wall ring.
constexpr std::size_t kMostRings = 32767 * 3 / 2 + 100;
constexpr std::size_t kLongestNumberedLine = 24 + 4 * 330;
constexpr std::size_t kMostLines = 12 + 9 * kMostRings;

std::string_view NextText(std::string_view& rest) {
  const std::size_t end = rest.find('\x1f');
  const std::string_view text = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  quorrel::SaveRequest request;
  request.shape = static_cast<quorrel::ShapeKind>(data[0] % 3);
  request.fill = (data[0] & 0x80) != 0;
  request.decimalSeparator = (data[0] & 0x40) != 0 ? "," : ".";
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  quorrel::FieldTexts& texts = request.texts;
  for (const quorrel::FieldDescription& field : quorrel::kFields) {
    if (!rest.empty()) texts.*field.text = std::string(NextText(rest));
  }

  std::string bytes;
  const quorrel::SaveResult result = quorrel::SaveGCode(
      request, [] { return std::string("memory"); },
      [&](const std::string&) { return std::make_unique<quorrel::StringSink>(bytes); });

  const std::size_t title = 64 + size;
  if (bytes.size() > title + kMostLines * kLongestNumberedLine) std::abort();
  switch (result.outcome) {
    case quorrel::SaveOutcome::Written: {
      const quorrel::ReadBackProgram program = quorrel::ReadProgram(bytes);
      if (!program.ended || program.moves.size() > kMostLines) std::abort();
      // Its controller's program: written whole, or the job refused with a message.
      quorrel::MachineSettings machine;
      machine.dialect = quorrel::Dialect::Grbl;
      machine.feed = 600;
      machine.plungeFeed = 200;
      machine.safeZ = 5;
      if ((data[0] & 0x20) != 0 && bytes.size() < 4096) machine.stepDown = 0.7;
      if ((data[0] & 0x10) != 0) machine.entry = quorrel::Entry::Ramp;
      if ((data[0] & 0x08) != 0) machine.direction = quorrel::Direction::Conventional;
      std::string controller;
      try {
        quorrel::ConvertWindowProgram(bytes, machine, {},
                                      std::make_unique<quorrel::StringSink>(controller));
        if (!controller.ends_with("M30\n")) std::abort();
      } catch (const quorrel::JobRefused& refused) {
        if (std::string_view(refused.what()).empty()) std::abort();
      }
      break;
    }
    case quorrel::SaveOutcome::ArithmeticFault:
    case quorrel::SaveOutcome::Refused:
      if (result.message.empty()) std::abort();
      break;
    case quorrel::SaveOutcome::Cancelled:
    case quorrel::SaveOutcome::CannotWrite:
      std::abort();  // the answer was a path and memory takes every byte
  }
  // The fuzzer's bytes themselves as a program to convert: refused, or converted, never more.
  quorrel::MachineSettings linuxCnc;
  linuxCnc.dialect = quorrel::Dialect::LinuxCnc;
  linuxCnc.feed = linuxCnc.plungeFeed = 100;
  linuxCnc.safeZ = 1;
  try {
    std::string converted;
    quorrel::ConvertWindowProgram(std::string_view(reinterpret_cast<const char*>(data), size),
                                  linuxCnc, {}, std::make_unique<quorrel::StringSink>(converted));
  } catch (const quorrel::ProgramFormatError&) {
  } catch (const quorrel::JobRefused&) {
  }
  // And as a program to draw, of either kind.
  try {
    quorrel::ToolpathRecording drawn;
    quorrel::ReadAnyProgram(std::string_view(reinterpret_cast<const char*>(data), size), drawn);
  } catch (const quorrel::ProgramFormatError&) {
  }
  return 0;
}
