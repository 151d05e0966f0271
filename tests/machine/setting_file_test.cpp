#include "machine/setting_file.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../common/scratch.h"

namespace {

class SettingFileTest : public ScratchFolderTest {
 protected:
};

TEST_F(SettingFileTest, WritesSevenLinesEndingCrCrLf) {
  TSettingItems items;
  items.Items[0] = FormatSettingNumber(64);
  items.Items[2] = FormatSettingNumber(210);
  items.Items[4] = FormatSettingNumber(1.44);
  const std::string path = PathOf("a.setting");
  ASSERT_EQ(WriteSettingItems(path, items), 1);
  EXPECT_EQ(ReadBytes(path),
            "64.000000\r\r\n\r\r\n210.000000\r\r\n\r\r\n1.440000\r\r\n\r\r\n\r\r\n");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(SettingFileTest, ReadsBackNamesWithBlanksAndGbkBytesWhole) {
  TSettingItems items;
  items.Items[0] = "64.000000";
  items.Items[3] = "disk image.tvxbin";
  items.Items[6] = "C:\\my bios\\\xb3\xcc\xd0\xf2.Bin";  // 程序
  const std::string path = PathOf("b.setting");
  ASSERT_EQ(WriteSettingItems(path, items), 1);
  TSettingItems read;
  ASSERT_EQ(ReadSettingItems(path, read), 1);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(read.Items[i], items.Items[i]) << "line " << i + 1;
}

TEST_F(SettingFileTest, ReaderTakesLfEndingsAndShortFiles) {
  const std::string path = PathOf("c.setting");
  WriteBytes(path, "1\n\r\n 2 \r\r\r\nname");
  TSettingItems read;
  read.Items[6] = "stale";
  ASSERT_EQ(ReadSettingItems(path, read), 1);
  EXPECT_EQ(read.Items[0], "1");
  EXPECT_EQ(read.Items[1], "");
  EXPECT_EQ(read.Items[2], " 2 ");
  EXPECT_EQ(read.Items[3], "name");
  EXPECT_EQ(read.Items[6], "");
}

TEST_F(SettingFileTest, MissingFileReadsNothing) {
  TSettingItems read;
  read.Items[0] = "keep";
  EXPECT_EQ(ReadSettingItems(PathOf("none.setting"), read), 0);
  EXPECT_EQ(read.Items[0], "keep");
}

TEST_F(SettingFileTest, RefusesLineBreaksAndKeepsTheOldFile) {
  const std::string path = PathOf("d.setting");
  WriteBytes(path, "old");
  TSettingItems items;
  items.Items[6] = "two\nlines";
  EXPECT_EQ(WriteSettingItems(path, items), 0);
  items.Items[6] = "cr\rinside";
  EXPECT_EQ(WriteSettingItems(path, items), 0);
  EXPECT_EQ(ReadBytes(path), "old");
}

TEST_F(SettingFileTest, UnwritableFolderFails) {
  TSettingItems items;
  EXPECT_EQ(WriteSettingItems(PathOf("no/such/folder/e.setting"), items), 0);
}

TEST(SettingNumberTest, ParsesAndFormatsIndependentOfLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // a decimal comma where available
  double value = 0;
  EXPECT_TRUE(ParseSettingNumber("1.440000", value));
  EXPECT_DOUBLE_EQ(value, 1.44);
  EXPECT_EQ(FormatSettingNumber(1.44), "1.440000");
  EXPECT_EQ(FormatSettingNumberShort(1.44), "1.44");
  EXPECT_EQ(FormatSettingNumberShort(64), "64");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(SettingNumberTest, RefusesWhatIsNotAFiniteNumber) {
  double value = 7;
  EXPECT_TRUE(ParseSettingNumber("  +64 ", value));
  EXPECT_DOUBLE_EQ(value, 64);
  EXPECT_TRUE(ParseSettingNumber("-2.5e1", value));
  EXPECT_DOUBLE_EQ(value, -25);
  value = 7;
  for (const char* bad : {"", "  ", "64,000000", "64MB", "abc", "inf", "nan", "1e999", "+"}) {
    EXPECT_FALSE(ParseSettingNumber(bad, value)) << bad;
  }
  EXPECT_DOUBLE_EQ(value, 7);
}

TEST(SettingNumberTest, DefaultPathIsNamedAfterTheProgram) {
  EXPECT_EQ(DefaultSettingPath(), "machine_tests.setting");
  EXPECT_EQ(ProgramNamedPath(".pset"), "machine_tests.pset");
}

}  // namespace
