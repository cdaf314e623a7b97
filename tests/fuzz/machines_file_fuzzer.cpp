// Any bytes as the machines file: a mistake is told with the file and its line, and the machines
// that were read, written again as the Machines dialog writes them, read back alike.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gcode/machines/machines_file.h"

namespace {

const std::string& FilePath() {
  static const std::string path =
      "/tmp/quorrel-machines-fuzz-" + std::to_string(::getpid()) + ".toml";
  return path;
}

void Put(const std::string& text) {
  std::FILE* file = std::fopen(FilePath().c_str(), "wb");
  if (file == nullptr) std::abort();
  if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) std::abort();
  std::fclose(file);
}

// A mistake names the file, and but for a file that cannot be read, the line.
void CheckTold(const quorrel::MachinesFileFault& fault) {
  const std::string file = "the machines file \"" + FilePath() + "\"";
  if (!fault.message.starts_with(file)) std::abort();
  const std::string_view rest = std::string_view(fault.message).substr(file.size());
  if (!rest.starts_with(", line ") && !rest.starts_with(": cannot be read")) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Put(std::string(reinterpret_cast<const char*>(data), size));
  const quorrel::MachinesFile read = quorrel::ReadMachinesFile(FilePath());
  if (read.fault) {
    CheckTold(*read.fault);
    if (!read.machines.empty() || !read.machineFaults.empty()) std::abort();
    return 0;
  }
  for (const quorrel::MachinesFileFault& fault : read.machineFaults) CheckTold(fault);
  // What the Machines dialog writes of the usable machines reads back as they are.
  const std::string text = quorrel::MachinesFileText(read.machines);
  Put(text);
  const quorrel::MachinesFile again = quorrel::ReadMachinesFile(FilePath());
  if (again.HasFaults() || again.machines.size() != read.machines.size()) std::abort();
  for (std::size_t k = 0; k < read.machines.size(); ++k) {
    if (again.machines[k].name != read.machines[k].name) std::abort();
    for (const quorrel::SettingDescription& setting : quorrel::kSettings) {
      if (quorrel::SettingText(again.machines[k], setting.setting) !=
          quorrel::SettingText(read.machines[k], setting.setting)) {
        std::abort();
      }
    }
  }
  if (quorrel::MachinesFileText(again.machines) != text) std::abort();
  return 0;
}
