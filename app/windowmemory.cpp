#include "app/windowmemory.h"

#include <QtDebug>
#include <algorithm>

#include "gcode/output/output_error.h"

namespace quorrel::app {

WindowMemory::WindowMemory() : state_(ReadWindowState(WindowStateFilePath())) {}

void WindowMemory::rememberJob(const std::string& path) {
  remember([&](WindowState& state) {
    std::vector<std::string>& jobs = state.recentJobs;
    jobs.erase(std::remove(jobs.begin(), jobs.end(), path), jobs.end());
    jobs.insert(jobs.begin(), path);
    if (jobs.size() > kRecentJobs) jobs.resize(kRecentJobs);
  });
}

void WindowMemory::write() const {
  const std::string path = WindowStateFilePath();
  if (path.empty()) return;
  try {
    WriteSettingsFile(path, WindowStateText(state_));
  } catch (const OutputError& error) {
    // Only what is remembered for the next start is lost; the window works on.
    qWarning("quorrel: what the window remembers is not kept: %s", error.what());
  }
}

}  // namespace quorrel::app
