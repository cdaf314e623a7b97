#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace quorrel::testing {

/// A fixture with a fresh, empty folder of the test's own, removed after the test (even when a
/// test took its write permission away).
class TemporaryFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "quorrel-" + std::string(test->test_suite_name()) + "-" + test->name();
    std::replace(name.begin(), name.end(), '/', '-');  // parameterised tests carry "/"
    folder_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    if (!previousFolder_.empty()) std::filesystem::current_path(previousFolder_);
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder_);
  }

  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  /// The names in the folder, so that a test can see that nothing was left behind.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  /// Makes the folder the current one until the test ends, for relative names.
  void EnterFolder() {
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
  }

  std::filesystem::path folder_;

 private:
  std::filesystem::path previousFolder_;
};

}  // namespace quorrel::testing
