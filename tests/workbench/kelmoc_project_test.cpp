#include <gtest/gtest.h>

#include "../common/run_tool.h"
#include "test_files.h"

namespace {

TToolOutput RunKelmocProject(const std::string& project) { return RunTool({kKelmoc, "project", project}); }

}  // namespace

TEST(KelmocProject, BuildsAsTheWorkbenchDoes) {
  TScratchFolder dir;
  WriteGoodSources(dir);
  WriteBytes(dir.File("p.tvxPrj"), dir.File("a.casm") + "\r\n" + dir.File("b.casm") + "\r\n");
  TToolOutput run = RunKelmocProject(dir.File("p.tvxPrj"));
  EXPECT_EQ(run.Exit, 0);
  EXPECT_EQ(run.Text, "正在编译...\n正常编译通过！\n");
  EXPECT_TRUE(Exists(dir.File("p.Bin")));
  EXPECT_TRUE(Exists(dir.File("b.lst")));

  WriteBytes(dir.File("bad.casm"), "NOSUCHOP R1\r\n");
  WriteBytes(dir.File("bad.tvxPrj"), dir.File("bad.casm") + "\r\n");
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
