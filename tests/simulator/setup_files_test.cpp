#include <gtest/gtest.h>

#include <string>

#include "common/file_calls.h"
#include "common/scratch.h"
#include "simulator/model/cpu_setup_model.h"
#include "simulator/model/number_text.h"
#include "simulator/model/port_dialog_model.h"
#include "machine/port_settings_file.h"
#include "simulator/model/sim_texts.h"

namespace {

class PortSettingsFile : public ScratchFolderTest {};
class CpuSetupFile : public ScratchFolderTest {};

TEST_F(PortSettingsFile, DefaultsWriteTwentyFiveLinesInFileOrder) {
  const std::string path = PathOf("defaults.pset");
  ASSERT_EQ(SavePeripSetting(path, DefaultPortTable()), 0);
  EXPECT_EQ(ReadBytes(path),
            "18\r\n48\r\n32\r\n8\r\n3\r\n19\r\n49\r\n33\r\n9\r\n4\r\n20\r\n50\r\n34\r\n16\r\n5\r\n"
            "4\r\n65\r\n66\r\n67\r\n68\r\n69\r\n70\r\n80\r\n81\r\n82\r\n");
  TPortTable table{};
  ASSERT_EQ(LoadPeripSetting(path, table), 0);
  EXPECT_EQ(table, DefaultPortTable());
  EXPECT_EQ(LoadPeripSetting(PathOf("missing.pset"), table), 1);
}

TEST_F(PortSettingsFile, ScanningKeepsFileOrderAndStopsAtTheFirstBadItem) {
  const std::string path = PathOf("odd.pset");
  TPortTable table = DefaultPortTable();
  // Line 16 is read after line 10 and wins; any blank separates items.
  WriteBytes(path, "1\n2 3\r\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16\n17\n18\n19\n20\n21\n22\n23\n24\n25\n");
  ASSERT_EQ(LoadPeripSetting(path, table), 0);
  EXPECT_EQ(table[2], 1);
  EXPECT_EQ(table[9], 16);
  EXPECT_EQ(table[23], 25);

  // Three lines change only the first three entries in file order.
  table = DefaultPortTable();
  WriteBytes(path, "7\r\n8\r\n9\r\n");
  LoadPeripSetting(path, table);
  EXPECT_EQ(table[2], 7);
  EXPECT_EQ(table[1], 8);
  EXPECT_EQ(table[0], 9);
  EXPECT_EQ(table[3], 0x08);

  // A number beyond 32 bits is no item: it and everything after it stay.
  table = DefaultPortTable();
  WriteBytes(path, "-2147483648\r\n4294967296\r\n5\r\n");
  LoadPeripSetting(path, table);
  EXPECT_EQ(table[2], INT32_MIN);
  EXPECT_EQ(table[1], 0x30);
  EXPECT_EQ(table[0], 0x20);
}

TEST(PortDialogModel, EditsShowHexAndReadBackAllOrNothing) {
  TPortTable table = DefaultPortTable();
  table[3] = 0x123;
  table[4] = -1;
  const TPortEditTexts texts = PortTableToEditTexts(table);
  EXPECT_EQ(texts[2], "0x12");
  EXPECT_EQ(texts[3], "0x123");
  EXPECT_EQ(texts[4], "0xFFFFFFFF");

  TPortEditTexts edited = texts;
  edited[0] = "100";
  edited[1] = "$1F";
  edited[5] = "0x7f";
  ASSERT_EQ(ReadPortEditTexts(edited, table), "");
  EXPECT_EQ(table[0], 100);
  EXPECT_EQ(table[1], 0x1F);
  EXPECT_EQ(table[5], 0x7F);

  const TPortTable before = table;
  edited[0] = "55";
  edited[23] = "port";
  EXPECT_NE(ReadPortEditTexts(edited, table), "");
  EXPECT_EQ(table, before);
}

TEST_F(CpuSetupFile, DesignValuesRoundTripThroughTheSettingsFile) {
  const std::string path = PathOf("design.setting");
  TSettingItems edits = DesignSetupEdits();
  edits.Items[SettingBiosFile] = "my bios.Bin";
  ASSERT_EQ(SaveCPUSetting(path, edits), 1);
  EXPECT_EQ(ReadBytes(path), "64.000000\r\r\n\r\r\n210.000000\r\r\n\r\r\n1.440000\r\r\n\r\r\nmy bios.Bin\r\r\n");
  TSettingItems loaded;
  ASSERT_EQ(LoadCPUSetting(path, loaded), 1);
  EXPECT_EQ(loaded.Items[SettingMemSize], "64");
  EXPECT_EQ(loaded.Items[SettingHardDiskSize], "210");
  EXPECT_EQ(loaded.Items[SettingFloppySize], "1.44");
  EXPECT_EQ(loaded.Items[SettingBiosFile], "my bios.Bin");

  // Edits that cannot be saved leave the old file as it was.
  edits.Items[SettingHardDiskSize] = "big";
  EXPECT_EQ(SaveCPUSetting(path, edits), 0);
  edits.Items[SettingHardDiskSize] = "210";
  edits.Items[SettingFloppyFile] = "a\nb";
  EXPECT_EQ(SaveCPUSetting(path, edits), 0);
  EXPECT_EQ(ReadBytes(path), "64.000000\r\r\n\r\r\n210.000000\r\r\n\r\r\n1.440000\r\r\n\r\r\nmy bios.Bin\r\r\n");
}

// Both files are typed by the user: a save reaches the disk before it counts as done.
TEST_F(CpuSetupFile, BothSetupFilesAreForcedToTheDisk) {
  TalvoShimForgetSyncs();
  ASSERT_EQ(SaveCPUSetting(PathOf("forced.setting"), DesignSetupEdits()), 1);
  ASSERT_EQ(SavePeripSetting(PathOf("forced.pset"), DefaultPortTable()), 0);
  EXPECT_TRUE(WasSynced(PathOf("forced.setting")));
  EXPECT_TRUE(WasSynced(PathOf("forced.pset")));
}

TEST(CpuSetupModel, AppliesOnlyWholeMemorySizesFromOneTo2047) {
  TSettingItems edits = DesignSetupEdits();
  TAppliedSetup applied;
  ASSERT_EQ(ComputeAppliedSetup(edits, applied), "");
  EXPECT_EQ(applied.MemSize, 67108864.0);
  EXPECT_DOUBLE_EQ(applied.FloppyDiskSize, 1.44 * 1024 * 1024);

  const TAppliedSetup before = applied;
  for (const char* bad : {"1.5", "0", "-4", "2048", "x"}) {
    edits.Items[SettingMemSize] = bad;
    EXPECT_NE(ComputeAppliedSetup(edits, applied), "") << bad;
    EXPECT_EQ(applied.MemSize, before.MemSize) << bad;
  }
  edits.Items[SettingMemSize] = "2047";
  edits.Items[SettingBiosFile] = "bios\r.bin";
  EXPECT_EQ(ComputeAppliedSetup(edits, applied), kTextNameHasLineBreak);
  edits.Items[SettingBiosFile] = "bios.bin";
  ASSERT_EQ(ComputeAppliedSetup(edits, applied), "");
  EXPECT_EQ(applied.MemSize, 2047.0 * 1024 * 1024);
  EXPECT_EQ(applied.BIOSFileName, "bios.bin");

  // A disk size whose byte count overflows is refused, not applied as infinity.
  edits.Items[SettingHardDiskSize] = "1e308";
  EXPECT_EQ(ComputeAppliedSetup(edits, applied), "'1e308' is not a valid floating point value");
  EXPECT_NE(CheckSetupForSave(edits), "");
  EXPECT_EQ(applied.HardDiskSize, 210.0 * 1024 * 1024);
}

}  // namespace
