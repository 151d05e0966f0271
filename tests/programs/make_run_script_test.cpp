// scripts/run.sh, where `make run` ends, from a copy of the kit in a folder of any name
// and without a display: the setting it leaves for the simulator in run/ names the
// image so that a reset there, where the simulator starts, reads it back.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "../common/child_process.h"
#include "../common/run_tool.h"
#include "../common/scratch.h"
#include "machine/talvo_cpu.h"

namespace fs = std::filesystem;

namespace {

// The lines of a setting naming `image` as the BIOS.
std::string SettingNaming(const std::string& image) {
  return "64.000000\r\r\n\r\r\n210.000000\r\r\n\r\r\n1.440000\r\r\n\r\r\n" + image + "\r\r\n";
}

TEST(MakeRunScript, TheSettingItWritesOpensTheImageFromAFolderOfAnyName) {
  enum TBefore { NoSetting, TheOldScriptsSetting, TheUsersSetting };
  const struct {
    const char* Folder;
    TBefore Before;
  } cases[] = {
      {"\xe5\xad\xa6\xe7\x94\x9f/talvo", NoSetting},              // 学生
      {"Stra\xc3\x9f" "e/talvo", NoSetting},                      // Straße
      {"\xf0\x9f\x98\x80 \"x\"/talvo", NoSetting},                // 😀, which GBK has no code for
      {"\xe5\xad\xa6\xe7\x94\x9f/talvo", TheOldScriptsSetting},   // written before as UTF-8
      {"\xe5\xad\xa6\xe7\x94\x9f/talvo", TheUsersSetting},        // saved from the simulator
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Folder << ", before: " << c.Before);
    TScratchFolder scratch;
    const fs::path root = scratch.Path / c.Folder, run = root / "run";
    fs::create_directories(root / "scripts");
    fs::copy_file(TALVO_SOURCE_DIR "/scripts/run.sh", root / "scripts/run.sh");
    fs::copy(TALVO_SOURCE_DIR "/examples", root / "examples", fs::copy_options::recursive);
    const std::string setting = (run / "TALVOSim.setting").string(), users = SettingNaming("mine.Bin");
    if (c.Before != NoSetting) {
      fs::create_directories(run);
      WriteBytes(setting, c.Before == TheUsersSetting ? users : SettingNaming((run / "screen/screen.Bin").string()));
    }

    const TToolOutput out = RunTool({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "bash",
                                     (root / "scripts/run.sh").string(), TALVO_BINARY_DIR});
    ASSERT_EQ(out.Exit, 0) << out.Text;
    if (c.Before == TheUsersSetting) {
      EXPECT_EQ(ReadBytes(setting), users);
      continue;
    }
    const std::string image = ReadBytes(run / "screen/screen.Bin");
    // The simulator's reset in run/: in a child, whose current folder may change.
    const int ready = ExitOfChild([&] {
      if (::chdir(run.c_str()) != 0) return 2;
      TTALVOCPU cpu;
      cpu.SettingPath = "TALVOSim.setting";
      cpu.Reset();
      return cpu.ReadyToRun() && std::string(reinterpret_cast<char*>(cpu.BiosImage), cpu.BiosLen) == image ? 0 : 1;
    });
    EXPECT_EQ(ready, 0) << ReadBytes(setting);
  }
}

}  // namespace
