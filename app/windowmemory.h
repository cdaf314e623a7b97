#pragma once

#include <string>
#include <vector>

#include "gcode/machines/machines_file.h"

namespace quorrel::app {

/// What the window remembers between starts (see WindowState), read once and written whole
/// whenever it changes. A file that cannot be written loses only what is remembered.
class WindowMemory {
 public:
  WindowMemory();

  const WindowState& state() const { return state_; }
  /// Changes what is remembered with `change`, then writes it.
  template <class Change>
  void remember(Change change) {
    change(state_);
    write();
  }

  /// The job files opened or saved, the newest first, at most kRecentJobs.
  const std::vector<std::string>& recentJobs() const { return state_.recentJobs; }
  void rememberJob(const std::string& path);
  static constexpr std::size_t kRecentJobs = 8;

 private:
  void write() const;

  WindowState state_;
};

}  // namespace quorrel::app
