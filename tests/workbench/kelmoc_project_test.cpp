#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

#include "test_files.h"

namespace {

struct TRun {
  int Exit;
  std::string Out;
};

TRun RunKelmocProject(const std::string& project) {
  const std::string command = std::string(TALVO_BINARY_DIR "/tools/kelmoc/kelmoc project '") + project + "' 2>&1";
  TRun run{-1, {}};
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.Out += buffer;
  const int status = pclose(pipe);
  run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace

TEST(KelmocProject, BuildsAsTheWorkbenchDoes) {
  TScratchFolder dir;
  WriteGoodSources(dir);
  WriteBytes(dir.File("p.tvxPrj"), dir.File("a.casm") + "\r\n" + dir.File("b.casm") + "\r\n");
  TRun run = RunKelmocProject(dir.File("p.tvxPrj"));
  EXPECT_EQ(run.Exit, 0);
  EXPECT_EQ(run.Out, "正在编译...\n正常编译通过！\n");
  EXPECT_TRUE(Exists(dir.File("p.Bin")));
  EXPECT_TRUE(Exists(dir.File("b.lst")));

  WriteBytes(dir.File("bad.casm"), "NOSUCHOP R1\r\n");
  WriteBytes(dir.File("bad.tvxPrj"), dir.File("bad.casm") + "\r\n");
  run = RunKelmocProject(dir.File("bad.tvxPrj"));
  EXPECT_EQ(run.Exit, 1);
  EXPECT_NE(run.Out.find("发现错误，请调试..."), std::string::npos) << run.Out;
}

TEST(KelmocProject, UnreadableOrEmptyProjectsFail) {
  TScratchFolder dir;
  EXPECT_EQ(RunKelmocProject(dir.File("none.tvxPrj")).Exit, 1);
  WriteBytes(dir.File("empty.tvxPrj"), "");
  const TRun run = RunKelmocProject(dir.File("empty.tvxPrj"));
  EXPECT_EQ(run.Exit, 1);
  EXPECT_NE(run.Out.find("没发现需要编译的文件！"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.find("正常编译通过！"), std::string::npos);
}
