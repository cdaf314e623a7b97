#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gcode/jobs/job_document.h"
#include "gcode/machines/machines_file.h"
#include "tests/support/configuration_folder.h"

namespace quorrel {
namespace {

// What the Machines dialog writes reads back as the same machines, whatever their names hold.
TEST(MachinesFile, WhatIsWrittenReadsBackAlike) {
  const testing::ConfigurationFolder configuration;
  std::vector<Machine> machines(3);
  machines[0].name = "Router \"big\" \\ one\ttab";
  machines[1].name = "Fräse & Co";
  machines[2].name = "Mill";
  for (Machine& machine : machines) {
    for (const SettingDescription& setting : kSettings) {
      const std::string_view text = setting.setting == Setting::Dialect ? "grbl"
                                    : setting.setting == Setting::Tabs  ? "4"
                                    : !ChoicesOf(setting.setting).empty()
                                        ? ChoicesOf(setting.setting)[1]
                                        : "5.25";
      ASSERT_EQ(SetSetting(machine, setting.setting, text), std::nullopt) << setting.key;
    }
  }
  ASSERT_EQ(SetSetting(machines[1], Setting::Feed, "1e3"), std::nullopt);
  ASSERT_EQ(SetSetting(machines[1], Setting::Stepover, "62.5"), std::nullopt);
  ClearSetting(machines[2], Setting::Spindle);
  ClearSetting(machines[2], Setting::SpindleDelay);  // it waits for a spindle
  ClearSetting(machines[2], Setting::Direction);
  for (Machine& machine : machines)
    ClearSetting(machine, Setting::Dwell);  // pecked holes have none
  ASSERT_EQ(SetSetting(machines[1], Setting::Peck, "0.5"), std::nullopt);
  ClearSetting(machines[1], Setting::ChipBreak);

  WriteSettingsFile(configuration.MachinesFile(), MachinesFileText(machines));
  const MachinesFile read = ReadMachinesFile(configuration.MachinesFile());
  ASSERT_FALSE(read.HasFaults()) << (read.fault ? *read.fault : read.machineFaults.front()).message;
  ASSERT_EQ(read.machines.size(), machines.size());
  for (std::size_t i = 0; i < machines.size(); ++i) {
    EXPECT_EQ(read.machines[i].name, machines[i].name);
    for (const SettingDescription& setting : kSettings) {
      EXPECT_EQ(SettingText(read.machines[i], setting.setting),
                SettingText(machines[i], setting.setting))
          << machines[i].name << " " << setting.key;
    }
  }
  EXPECT_EQ(SettingText(read.machines[1], Setting::Feed), "1000");
  EXPECT_EQ(read.text, MachinesFileText(machines));
}

// The settings as the tool's options check them; the words follow the setting's name.
TEST(MachinesFile, SettingsAreCheckedAsTheOptionsAre) {
  const struct {
    Setting setting;
    const char* text;
    const char* problem;
  } rows[] = {
      {Setting::Feed, "", "needs a number, not \"\""},
      {Setting::Feed, "0.0004", "must be above 0 (at least .001), not 0.0004"},
      {Setting::SafeZ, "-1", "must be at or above the work surface (0), not -1"},
      {Setting::StepDown, "0", "must be at least .001, not 0"},
      {Setting::RampAngle, "91",
       "is the steepest descent of a ramp, from 0.5 to 90 degrees, not 91"},
      {Setting::Stepover, "0.5", "is a percentage of the tool's diameter from 1 to 100, not 0.5"},
      {Setting::Finish, "-0.1", "is the allowance left on the walls, at least 0, not -0.1"},
      {Setting::Units, "cm", "takes mm or inch, not \"cm\""},
      {Setting::Dialect, "din", "takes linuxcnc or grbl, not \"din\""},
      {Setting::Spindle, "1,5", "needs a number, not \"1,5\""},
      {Setting::Tabs, "2.5", "is a count of holding tabs from 0 to 64, not 2.5"},
      {Setting::TabHeight, "0.0004", "must be above 0 (at least .001), not 0.0004"},
  };
  for (const auto& row : rows) {
    Machine machine;
    EXPECT_EQ(SetSetting(machine, row.setting, row.text), row.problem);
    EXPECT_EQ(SettingText(machine, row.setting), SettingText(Machine(), row.setting));
  }
}

}  // namespace
}  // namespace quorrel

namespace quorrel {
namespace {

// A job saved as the window saves it reads back with every text as it was typed, numbers that
// TOML would read otherwise quoted.
TEST(JobFile, WhatIsSavedReadsBackAlike) {
  JobMachineSources sources;
  Machine router;
  router.name = "Router";
  router.dialect = Dialect::Grbl;
  router.units = Units::Millimetres;
  router.feed = 1000;
  sources.machines.machines.push_back(router);
  for (const char* text :
       {"12.5", "1.10", ".5", "1e3", "-0", "007", "22888888888888889344", "0.1", "-3"}) {
    JobDocument document;
    document.machine = "Router";
    JobRow row;
    row.request.shape = ShapeKind::Circle;
    row.request.texts.RadiusText = text;
    row.tool = 2;
    document.rows.push_back(row);
    std::string why;
    const std::optional<std::string> saved = JobDocumentText(document, {router}, why);
    ASSERT_TRUE(saved) << why;
    const std::variant<Job, std::string> read = ReadJobText(*saved, "job.toml", sources);
    ASSERT_TRUE(std::holds_alternative<Job>(read)) << text << ": " << std::get<std::string>(read);
    EXPECT_EQ(std::get<Job>(read).operations.at(0).request.texts.RadiusText, text) << *saved;
    EXPECT_EQ(std::get<Job>(read).operations.at(0).tool, 2);
  }
}

}  // namespace
}  // namespace quorrel
