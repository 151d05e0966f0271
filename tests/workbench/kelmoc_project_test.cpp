#include <gtest/gtest.h>

#include <filesystem>

#include "../common/run_tool.h"
#include "../common/stored_name.h"
#include "test_files.h"

namespace {

TToolOutput RunKelmocProject(const std::string& project) { return RunTool({kKelmoc, "project", project}); }

}  // namespace

TEST(KelmocProject, BuildsAsTheWorkbenchDoes) {
  TScratchFolder dir;
  WriteGoodSources(dir);
  WriteBytes(dir.File("p.tvxPrj"),
             StoredName(dir.File("a.casm")) + "\r\n" + StoredName(dir.File("b.casm")) + "\r\n");
  TToolOutput run = RunKelmocProject(dir.File("p.tvxPrj"));
  EXPECT_EQ(run.Exit, 0);
  EXPECT_EQ(run.Text, "正在编译...\n正常编译通过！\n");
  EXPECT_TRUE(Exists(dir.File("p.Bin")));
  EXPECT_TRUE(Exists(dir.File("b.lst")));

  WriteBytes(dir.File("bad.casm"), "NOSUCHOP R1\r\n");
  WriteBytes(dir.File("bad.tvxPrj"), StoredName(dir.File("bad.casm")) + "\r\n");
  run = RunKelmocProject(dir.File("bad.tvxPrj"));
  EXPECT_EQ(run.Exit, 1);
  EXPECT_NE(run.Text.find("发现错误，请调试..."), std::string::npos) << run.Text;
}

TEST(KelmocProject, UnreadableOrEmptyProjectsFail) {
  TScratchFolder dir;
  EXPECT_EQ(RunKelmocProject(dir.File("none.tvxPrj")).Exit, 1);
  WriteBytes(dir.File("empty.tvxPrj"), "");
  const TToolOutput run = RunKelmocProject(dir.File("empty.tvxPrj"));
  EXPECT_EQ(run.Exit, 1);
  EXPECT_NE(run.Text.find("没发现需要编译的文件！"), std::string::npos) << run.Text;
  EXPECT_EQ(run.Text.find("正常编译通过！"), std::string::npos);
}

TEST(KelmocProject, AFolderNameGbkCannotHoldBuildsAsFromInside) {
  // The folders' UTF-8 names are not GBK text, or read as other GBK characters. The
  // linker listing names the objects as the kit's files hold names: in GBK where the
  // name has a GBK form (学习), else as its bytes.
  const struct {
    std::string Folder;
    std::string Listed;
  } cases[] = {{"Straße", "Straße"}, {"Übungen", "Übungen"}, {"ñandú", "ñandú"}, {"😀", "😀"},
               {"学习", "\xd1\xa7\xcf\xb0"}};
  for (const auto& [folder, listed] : cases) {
    TScratchFolder dir;
    std::filesystem::create_directory(dir.File(folder));
    WriteBytes(dir.File(folder + "/a.casm"), "LD R1 5\r\n");
    WriteBytes(dir.File(folder + "/p.tvxPrj"), "a.casm\r\n");
    const std::vector<std::string> kelmoc = {kKelmoc, "project", folder + "/p.tvxPrj"};
    TToolOutput run = RunTool(kelmoc, dir.Path.string());
    EXPECT_EQ(run.Exit, 0) << folder;
    EXPECT_EQ(run.Text, "正在编译...\n正常编译通过！\n") << folder;
    // QOBJ文件名：
    EXPECT_NE(ReadBytes(dir.File(folder + "/p.lst")).find("QOBJ\xce\xc4\xbc\xfe\xc3\xfb\xa3\xba" + listed + "/a.qobj\r\n"),
              std::string::npos)
        << folder;

    // A message names such a path as itself.
    std::filesystem::remove(dir.File(folder + "/a.hex"));
    std::filesystem::create_directory(dir.File(folder + "/a.hex"));
    run = RunTool(kelmoc, dir.Path.string());
    EXPECT_EQ(run.Exit, 1) << folder;
    EXPECT_EQ(run.Text, "正在编译...\n错误：无法写入文件 " + folder + "/a.hex：不是普通文件 (EISDIR)\n发现错误，请调试...\n");
  }
}
