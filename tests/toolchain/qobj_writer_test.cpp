// The object file an assembled source leaves: its bytes, names that do not fit,
// and what the reader makes of forged files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "assemble_helpers.h"
#include "output_bytes.h"
#include "toolchain/qobj_file.h"

namespace {

TEST(ObjectFile, ASourceWithoutCodeOrSymbolsGivesTheMagicLineAndThreeZeros) {
  TScratchFolder folder;
  TAsmFile file;
  folder.Write("boot.qobj", "an older object");
  ASSERT_EQ(file.AssembleFile(folder.Write("boot.casm", "// nothing\r\n")), 0);
  EXPECT_EQ(ReadBytes(folder.Path / "boot.qobj"), std::string("QOBJ1\r\n", 7) + Le({0, 0, 0}));
}

TEST(ObjectFile, NamesThatDoNotFitAreRefusedBeforeTheFileIsTouched) {
  TScratchFolder folder;
  const std::string qobj = folder.Write("n.qobj", "old");
  TAsmFile file;
  const std::string longName(1024, 'a');
  EXPECT_EQ(file.AssembleFile(folder.Write("n.casm", longName + ":\r\nRET\r\n")), -4);
  EXPECT_EQ(ReadBytes(qobj), "old");
  EXPECT_EQ(file.AssembleFile(folder.Write("n.casm", "LD R1 OFFSET " + longName + "\r\n")), -4);
  EXPECT_EQ(ReadBytes(qobj), "old");

  // 1023 bytes still fit and come back whole.
  const std::string fits(1023, 'b');
  ASSERT_EQ(file.AssembleFile(folder.Write("n.casm", fits + ":\r\nRET\r\n")), 0);
  TQOBJFile object;
  ASSERT_EQ(object.LoadFromFile(qobj), 0);
  EXPECT_EQ(object.mLines.Item(0)->Value.SymName, fits);
}

TEST(ObjectFile, AWriteErrorFailsTheAssembly) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TScratchFolder folder;
  std::filesystem::create_symlink("/dev/full", folder.Path / "w.qobj");
  TAsmFile file;
  EXPECT_EQ(file.AssembleFile(folder.Write("w.casm", "RET\r\n")), -4);
}

TEST(ObjectFile, ReaderCodesAndHostileCounts) {
  TScratchFolder folder;
  const std::string magic("QOBJ1\r\n", 7);
  struct Case {
    std::string Bytes;
    int32_t Result;
  };
  const std::vector<Case> cases = {
      {magic + Le({0, 0, 0}), 0},
      {std::string("QOBJ1\n\r", 7) + Le({0, 0, 0}), -2},
      {std::string("qobj1\r\n", 7) + Le({0, 0, 0}), -2},
      {"QOBJ1", -2},
      {magic + Le({0xFFFFFFFF}), -3},
      {magic + Le({0, 0xFFFFFFFF, 0xFFFFFFFF}), 0},
      {magic + Le({0x7FFFFFFF}), -4},
      {magic + Le({0x10000000, 1}), -5},
      {magic + Le({1, 5}), -5},
      {magic + Le({0, 0x7FFFFFFF}), -5},
      {magic + Le({0, 1}) + std::string(1000, 'x'), -5},
      {magic + Le({0, 0}), -5},
  };
  TQOBJFile object;
  for (const Case& c : cases) {
    EXPECT_EQ(object.LoadFromFile(folder.Write("h.qobj", c.Bytes)), c.Result) << c.Bytes.size();
    if (c.Result != 0) {
      EXPECT_EQ(object.CodeSize, 0);
      EXPECT_TRUE(object.Code.empty());
      EXPECT_EQ(object.mLines.CountNodes(), 0);
    }
  }
  // A missing file leaves what was loaded before.
  ASSERT_EQ(object.LoadFromFile(folder.Write("ok.qobj", magic + Le({1, 9, 0, 0}))), 0);
  EXPECT_EQ(object.LoadFromFile((folder.Path / "missing.qobj").string()), -1);
  EXPECT_EQ(object.Code, std::vector<uint32_t>{9});
}

}  // namespace
