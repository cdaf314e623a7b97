#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace quorrel::testing {

/// A configuration folder of the test's own, so that neither the machinist's machines nor
/// another test's are read: XDG_CONFIG_HOME points at an empty temporary folder for this process
/// and every process it starts, until the object goes.
class ConfigurationFolder {
 public:
  ConfigurationFolder() {
    if (const char* previous = std::getenv("XDG_CONFIG_HOME")) previous_ = previous;
    root_ =
        std::filesystem::temp_directory_path() /
        ("quorrel-configuration-" + std::to_string(::getpid()) + "-" + std::to_string(++count_));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    ::setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
  }
  ~ConfigurationFolder() {
    if (previous_) {
      ::setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
    } else {
      ::unsetenv("XDG_CONFIG_HOME");
    }
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  ConfigurationFolder(const ConfigurationFolder&) = delete;
  ConfigurationFolder& operator=(const ConfigurationFolder&) = delete;

  /// Quorrel's own folder in it, where its files are.
  std::filesystem::path Folder() const { return root_ / "quorrel"; }
  std::string MachinesFile() const { return (Folder() / "machines.toml").string(); }

  void WriteMachines(const std::string& text) const { Write("machines.toml", text); }
  void Write(const std::string& name, const std::string& text) const {
    std::filesystem::create_directories(Folder());
    std::ofstream(Folder() / name, std::ios::binary) << text;
  }
  std::string Read(const std::string& name) const {
    std::ifstream file(Folder() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  /// Two machines, one for each controller, as the README shows them.
  static constexpr const char* kTwoMachines = R"(# My machines
[[machine]]
name = "Router"
dialect = "grbl"
units = "mm"
feed = 1000
plunge-feed = 300
step-down = 1.5
spindle = 18000

[[machine]]
name = "Mill"
dialect = "linuxcnc"
units = "inch"
feed = 20
safe-z = 0.25
entry = "ramp"
ramp-angle = 5
finish = 0.01
)";

 private:
  inline static int count_ = 0;
  std::filesystem::path root_;
  std::optional<std::string> previous_;
};

}  // namespace quorrel::testing
