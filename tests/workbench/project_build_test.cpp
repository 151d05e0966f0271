#include <gtest/gtest.h>

#include "test_files.h"
#include "../common/stored_name.h"
#include "workbench/model/project.h"

namespace {

struct TBuildFixture : ::testing::Test {
  TScratchFolder Dir;
  TProject Project;
  int Boxes = 0;
  void SetUp() override {
    Project.ShowBox = [this](const std::string&, int flags) {
      EXPECT_EQ(flags, 0x30);
      ++Boxes;
      return 1;
    };
    Project.FileName = Dir.File("p.tvxPrj");
  }
};

}  // namespace

TEST_F(TBuildFixture, BuildsAndWritesOnlyTheRequestedOutputs) {
  WriteGoodSources(Dir);
  Project.SetFiles({StoredName(Dir.File("a.casm")), StoredName(Dir.File("b.casm"))});
  Project.MakeHex = 0;
  Project.MakeList = 0;
  ASSERT_EQ(Project.Build(), 0) << Project.Compiler.Messages;
  EXPECT_TRUE(Exists(Dir.File("a.tvxbin")));
  EXPECT_TRUE(Exists(Dir.File("b.tvxbin")));
  EXPECT_FALSE(Exists(Dir.File("a.hex")));
  EXPECT_FALSE(Exists(Dir.File("a.lst")));
}

TEST_F(TBuildFixture, FailuresWriteNoPerFileOutputs) {
  WriteGoodSources(Dir);
  WriteBytes(Dir.File("bad.casm"), "NOSUCHOP R1 R2\r\n");
  Project.SetFiles({StoredName(Dir.File("a.casm")), StoredName(Dir.File("bad.casm"))});
  EXPECT_EQ(Project.Build(), -1);
  EXPECT_FALSE(Project.Compiler.Messages.empty());
  // The image cannot be written into a folder that does not exist: the link fails.
  Project.FileName = Dir.File("none/p.tvxPrj");
  Project.SetFiles({StoredName(Dir.File("a.casm")), StoredName(Dir.File("b.casm"))});
  EXPECT_EQ(Project.Build(), -2);
  for (const char* name : {"a.hex", "a.tvxbin", "a.lst", "b.hex", "b.lst"})
    EXPECT_FALSE(Exists(Dir.File(name))) << name;
}

TEST_F(TBuildFixture, EmptyEntriesReachTheDriverAndFail) {
  WriteGoodSources(Dir);
  Project.SetFiles({StoredName(Dir.File("a.casm")), "", StoredName(Dir.File("b.casm"))});
  EXPECT_EQ(Project.Build(), -1);
  EXPECT_EQ(Boxes, 0);
}

TEST_F(TBuildFixture, NoSourcesWarnsAndLeavesTheDriverAlone) {
  Project.Compiler.Messages = "earlier";
  EXPECT_EQ(Project.Build(), kBuildNothingToBuild);
  EXPECT_EQ(Boxes, 1);
  EXPECT_EQ(Project.Compiler.Messages, "earlier");
}

TEST_F(TBuildFixture, ChinesePathsInTheProjectFileReachTheFiles) {
  WriteGoodSources(Dir);
  std::filesystem::rename(Dir.File("a.casm"), Dir.File("主程序.casm"));
  const std::string gbkDir = StoredName(Dir.Path) + "/";
  // 主程序.casm in GBK, as a project file holds it
  const std::string gbkSource = gbkDir + "\xd6\xf7\xb3\xcc\xd0\xf2.casm";
  WriteBytes(Dir.File("p.tvxPrj"), gbkSource + "\r\n" + StoredName(Dir.File("b.casm")) + "\r\n");
  Project.FileName.clear();
  ASSERT_EQ(Project.LoadFromFile(Dir.File("p.tvxPrj")), 0);
  Project.FileName = Dir.File("p.tvxPrj");
  EXPECT_EQ(Project.Build(), 0) << Project.Compiler.Messages;
  EXPECT_TRUE(Exists(Dir.File("主程序.lst")));
}
