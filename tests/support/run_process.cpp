#include "tests/support/run_process.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <stdexcept>

namespace quorrel::testing {

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment) {
  int out[2];
  int err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(out[0]);
    close(out[1]);
    close(err[0]);
    close(err[1]);
    for (const auto& [name, value] : environment) {
      if (value.empty()) {
        unsetenv(name.c_str());
      } else {
        setenv(name.c_str(), value.c_str(), 1);
      }
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);

  ProcessResult result;
  std::array<pollfd, 2> streams{pollfd{out[0], POLLIN, 0}, pollfd{err[0], POLLIN, 0}};
  std::array<std::string*, 2> sinks{&result.standardOutput, &result.standardError};
  int open = 2;
  std::array<char, 65536> chunk;
  while (open > 0) {
    if (poll(streams.data(), streams.size(), -1) < 0) break;
    for (std::size_t i = 0; i < streams.size(); ++i) {
      if (streams[i].fd < 0 || streams[i].revents == 0) continue;
      const ssize_t got = read(streams[i].fd, chunk.data(), chunk.size());
      if (got > 0) {
        sinks[i]->append(chunk.data(), static_cast<std::size_t>(got));
      } else {
        close(streams[i].fd);
        streams[i].fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  waitpid(child, &status, 0);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace quorrel::testing
