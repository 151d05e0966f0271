// Hex dump, raw code image and listing of one source, compared byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "assemble_helpers.h"
#include "output_bytes.h"
#include "toolchain/gbk_texts.h"

namespace {

const std::string kRule53 = std::string(53, '=') + "\r\n";
const std::string kRule49 = "\r\n" + std::string(49, '=') + "\r\n";
const std::string kZeroRow = "\t\t00000000\t\t00000000\r\n";

std::string ListingHead() { return std::string(gbk::kListHeading) + kRule53; }

TEST(PerFileOutputs, SourcesWithoutCodeAndListingsThatStopAtTheLastWord) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(file.AssembleFile(folder.Write("c.casm", "X = 5\r\n")), 0);
  ASSERT_EQ(file.SaveHex(), 0);
  ASSERT_EQ(file.SaveTvxBin(), 0);
  ASSERT_EQ(file.SaveLst(), 0);
  EXPECT_EQ(ReadBytes(folder.Path / "c.hex"), "");
  EXPECT_EQ(ReadBytes(folder.Path / "c.tvxbin"), "");
  EXPECT_EQ(ReadBytes(folder.Path / "c.lst"),
            ListingHead() + kRule49 + gbk::kListRefHeading + kRule49 + gbk::kListDefHeading +
                "X\r\n\t\t00000005\t\t00000000\r\n" + kZeroRow + kZeroRow + kZeroRow);

  // An ORG line at 0 adds a text but no word: the rows end with the words.
  ASSERT_EQ(file.AssembleFile(folder.Write("c.casm", "ORG 0\r\nRET\r\n")), 0);
  ASSERT_EQ(file.SaveLst(), 0);
  EXPECT_EQ(ReadBytes(folder.Path / "c.lst"),
            ListingHead() + "00000000\t\t31000000\t\tORG 0\r\n" + kRule49 +
                gbk::kListRefHeading + kRule49 + gbk::kListDefHeading);
}

TEST(PerFileOutputs, NamesCutAtTheFileNamesLastDot) {
  TScratchFolder folder;
  std::filesystem::create_directories(folder.Path / "rel.2");
  TAsmFile file;
  ASSERT_EQ(file.AssembleFile(folder.Write("rel.2/noext", "RET\r\n")), 0);
  ASSERT_EQ(file.SaveHex(), 0);
  ASSERT_EQ(file.SaveTvxBin(), 0);
  ASSERT_EQ(file.SaveLst(), 0);
  for (const char* name : {"noext.qobj", "noext.hex", "noext.tvxbin", "noext.lst"}) {
    EXPECT_TRUE(std::filesystem::exists(folder.Path / "rel.2" / name)) << name;
  }
  ASSERT_EQ(file.AssembleFile(folder.Write("a.b.casm", "RET\r\n")), 0);
  ASSERT_EQ(file.SaveHex(), 0);
  EXPECT_TRUE(std::filesystem::exists(folder.Path / "a.b.hex"));
}

TEST(PerFileOutputs, FilesThatCannotBeCreatedOrWrittenFail) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(file.AssembleFile(folder.Write("f.casm", "RET\r\n")), 0);
  std::filesystem::create_directories(folder.Path / "f.hex");
  EXPECT_EQ(file.SaveHex(), -1);
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // Opening succeeds; the bytes cannot be written.
  std::filesystem::create_symlink("/dev/full", folder.Path / "f.tvxbin");
  std::filesystem::create_symlink("/dev/full", folder.Path / "f.lst");
  EXPECT_EQ(file.SaveTvxBin(), -1);
  EXPECT_EQ(file.SaveLst(), -1);
}

}  // namespace
