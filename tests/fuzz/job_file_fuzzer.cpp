// Any bytes as a job file: a mistake is told with the file and, but for a file without an
// operation or a controller, its line; a job that was read, written again as the window saves
// it, reads back alike, and is checked whole without a fault.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "gcode/jobs/job_document.h"
#include "gcode/jobs/job_program.h"

namespace {

const std::string kPath = "plate.toml";

// The machine a job file may name.
const quorrel::JobMachineSources& Sources() {
  static const quorrel::JobMachineSources sources = [] {
    quorrel::JobMachineSources made;
    quorrel::Machine router;
    router.name = "Router";
    router.dialect = quorrel::Dialect::Grbl;
    router.units = quorrel::Units::Millimetres;
    router.feed = 1000;
    made.machines.machines.push_back(router);
    made.machinesPath = "machines.toml";
    return made;
  }();
  return sources;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::variant<quorrel::Job, std::string> read = quorrel::ReadJobText(text, kPath, Sources());
  if (const auto* mistake = std::get_if<std::string>(&read)) {
    if (!mistake->starts_with("the job file \"" + kPath + "\"")) std::abort();
    return 0;
  }
  const quorrel::Job& job = std::get<quorrel::Job>(read);
  if (job.operations.empty()) std::abort();
  // Saved as the window saves it, it reads back as it was.
  std::string why;
  const std::optional<std::string> saved =
      quorrel::JobDocumentText(quorrel::DocumentOf(job), Sources().machines.machines, why);
  if (!saved) std::abort();
  const std::variant<quorrel::Job, std::string> again =
      quorrel::ReadJobText(*saved, kPath, Sources());
  if (!std::holds_alternative<quorrel::Job>(again)) std::abort();
  const quorrel::Job& back = std::get<quorrel::Job>(again);
  if (back.operations.size() != job.operations.size()) std::abort();
  for (std::size_t i = 0; i < job.operations.size(); ++i) {
    if (back.operations[i].request != job.operations[i].request) std::abort();
    if (back.operations[i].tool != job.operations[i].tool) std::abort();
  }
  // Checked whole: a refusal with a message, never a fault that escapes.
  std::vector<quorrel::CheckedJob> checked;
  if (auto refused = quorrel::CheckOperations(job, checked)) {
    if (refused->message.empty()) std::abort();
  }
  return 0;
}
