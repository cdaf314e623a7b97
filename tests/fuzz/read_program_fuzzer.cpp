// Any bytes through the one reader, as --from and --preview-of read them: refused at a line of
// the input, or read back as moves that, written again by the writer of their kind, read back
// as the same moves.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "gcode/job/job_refusal.h"
#include "gcode/output/byte_sink.h"
#include "gcode/program/controller_writer.h"
#include "gcode/program/program_reader.h"
#include "gcode/program/program_writer.h"
#include "gcode/program/window_program_writer.h"

namespace {

// A toolpath as read, with what its end line says.
struct Read final : quorrel::ToolpathSink {
  void Title(const quorrel::ProgramTitle& given) override { title = given.text; }
  void Move(quorrel::ToolMove& move) override { moves.push_back(move); }
  void End() override { ended = true; }

  std::string title;
  std::vector<quorrel::ToolMove> moves;
  bool ended = false;
};

bool Same(quorrel::Coord a, quorrel::Coord b) {
  return a == b || (std::isnan(a.value()) && std::isnan(b.value()));
}

bool Same(const quorrel::ToolPoint& a, const quorrel::ToolPoint& b) {
  return Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z);
}

// The moves say the same: what the program writes of each.
bool SameMoves(const Read& a, const Read& b, bool window) {
  if (a.title != b.title || a.moves.size() != b.moves.size() || a.ended != b.ended) return false;
  for (std::size_t k = 0; k < a.moves.size(); ++k) {
    const quorrel::ToolMove& x = a.moves[k];
    const quorrel::ToolMove& y = b.moves[k];
    if (x.kind != y.kind || !Same(x.to, y.to) || x.words != y.words) return false;
    if (x.role != y.role) return false;
    if (!quorrel::IsArc(x)) continue;
    if (window && (x.centerX != y.centerX || x.centerY != y.centerY)) return false;
    if (!window && (x.offsetX != y.offsetX || x.offsetY != y.offsetY)) return false;
  }
  return true;
}

// The lines of the input, for a refusal's line number.
int LineCount(std::string_view bytes) {
  int lines = 1;
  for (const char c : bytes) lines += c == '\n' ? 1 : 0;
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Read first;
  const bool window = bytes.starts_with("N");
  const quorrel::DinLayout* layout = nullptr;
  try {
    if (window) {
      layout = quorrel::ReadWindowProgram(bytes, first);
    } else {
      quorrel::ReadControllerProgram(bytes, first);
    }
  } catch (const quorrel::ProgramFormatError& error) {
    if (error.line() < 1 || error.line() > LineCount(bytes) + 1) std::abort();
    return 0;
  }
  if (!first.ended) return 0;  // what --from and --preview-of then refuse: no M30 line
  std::string again;
  quorrel::ProgramWriter writer(
      std::make_unique<quorrel::StringSink>(again),
      window ? quorrel::ProgramWriter::LineEnd::CrLf : quorrel::ProgramWriter::LineEnd::Lf);
  try {
    if (window) {
      // Written again by the layout the lines followed, where each closed path begins and ends
      // as the reader says.
      quorrel::WindowProgramWriter program(writer, *layout);
      quorrel::ReadWindowProgram(bytes, program);
      writer.Close();
    } else {
      quorrel::MachineSettings settings;
      settings.dialect = quorrel::Dialect::LinuxCnc;
      settings.units = bytes.find("\nG20 ") != std::string_view::npos ? quorrel::Units::Inches
                                                                      : quorrel::Units::Millimetres;
      settings.feed = settings.plungeFeed = 100;
      quorrel::ControllerWriter program(settings, writer);
      program.Title({first.title});
      for (quorrel::ToolMove move : first.moves) program.Move(move);
      program.Finish();
    }
  } catch (const quorrel::JobRefused&) {
    return 0;  // a title LinuxCNC would act on, or a line too long for it: never written
  }
  Read second;
  try {
    quorrel::ReadAnyProgram(again, second);
  } catch (const quorrel::ProgramFormatError&) {
    std::abort();  // what the reader took, written again, is a program it refuses
  }
  if (!SameMoves(first, second, window)) std::abort();
  if (window && again != bytes) std::abort();  // the window's programs have one text
  return 0;
}
