#pragma once

#include <map>
#include <string>
#include <vector>

namespace quorrel::testing {

struct ProcessResult {
  int exitStatus = -1;  ///< -1 when the process did not exit normally (a signal)
  std::string standardOutput;
  std::string standardError;
};

/// Runs `program` with `arguments` and waits for it, collecting both output streams.
/// `environment` entries are set (an empty value unsets the variable) on top of this process's.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {});

}  // namespace quorrel::testing
