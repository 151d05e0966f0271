// kelmoc end to end: the built program on sources the test writes.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "../common/child_process.h"
#include "../common/other_user.h"
#include "../common/run_tool.h"
#include "assemble_helpers.h"
#include "output_bytes.h"

namespace {

// kelmoc with the arguments, run in the folder; `runAs` goes before it (setpriv, to
// run it as another user).
TToolOutput Kelmoc(const TScratchFolder& folder, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& runAs = {}) {
  std::vector<std::string> command = runAs;
  command.push_back(kKelmoc);
  command.insert(command.end(), arguments.begin(), arguments.end());
  return RunTool(command, folder.Path.string());
}

TEST(Kelmoc, Compile) {
  TScratchFolder folder;
  folder.Write("ok.casm", "ADD R1 R2 R3\r\n");
  folder.Write("bad.casm", "RET\r\nwhat\r\n");
  const TToolOutput ok = Kelmoc(folder, {"compile", "ok.casm"});
  EXPECT_EQ(ok.Exit, 0);
  EXPECT_EQ(ok.Text, "正在编译...\n编译成功！\n");
  EXPECT_EQ(ReadBytes(folder.Path / "ok.qobj").substr(11, 4), std::string("\x03\x02\x01\x08", 4));
  EXPECT_FALSE(std::filesystem::exists(folder.Path / "ok.hex"));

  const TToolOutput bad = Kelmoc(folder, {"compile", "bad.casm"});
  EXPECT_EQ(bad.Exit, 1);
  EXPECT_EQ(bad.Text, "正在编译...\n错误信息：\n行号：2 不能解析的代码行：what\n编译失败！\n");
  EXPECT_EQ(Kelmoc(folder, {"compile", "missing.casm"}).Exit, 1);
}

TEST(Kelmoc, BuildReportsAndOutputs) {
  TScratchFolder folder;
  folder.Write("a.casm", "LD R1 OFFSET far\r\nJMP R0 R1\r\n");
  folder.Write("b.casm", "far:\r\nADD R1 R2 R3\r\n");
  const TToolOutput ok = Kelmoc(folder, {"build", "--hex", "--tvxbin", "--lst", "p.tvxPrj", "a.casm", "b.casm"});
  EXPECT_EQ(ok.Exit, 0);
  EXPECT_EQ(ok.Text, "正在编译...\n正常编译通过！\n");
  const std::string image = ReadBytes(folder.Path / "p.tvxbin");
  ASSERT_EQ(image.size(), 28u);
  EXPECT_EQ(image.substr(4, 4), std::string("\x18\0\0\0", 4));
  EXPECT_EQ(image.substr(24), std::string("\x03\x02\x01\x08", 4));
  EXPECT_EQ(ReadBytes(folder.Path / "p.Bin"), image);
  for (const char* name : {"a.hex", "b.hex", "a.tvxbin", "b.tvxbin", "a.lst", "b.lst", "p.lst"}) {
    EXPECT_TRUE(std::filesystem::exists(folder.Path / name)) << name;
  }

  folder.Write("c.casm", "nonsense here\r\n");
  const TToolOutput asmFail = Kelmoc(folder, {"build", "p.tvxPrj", "a.casm", "c.casm"});
  EXPECT_EQ(asmFail.Exit, 1);
  EXPECT_EQ(asmFail.Text,
            "正在编译...\n行号：1 不能解析的代码行：nonsense here\n发现错误，请调试...\n");

  const TToolOutput linkFail = Kelmoc(folder, {"build", "no/such/folder/p.tvxPrj", "a.casm"});
  EXPECT_EQ(linkFail.Exit, 1);
  EXPECT_EQ(linkFail.Text,
            "正在编译...\n错误：无法写入文件 no/such/folder/p.tvxbin：文件或文件夹不存在 (ENOENT)\n"
            "链接器链接错误，可能是没生成qobj文件或没有找到定义的标号...\n");
}

TEST(Kelmoc, UsageAndConversionErrors) {
  TScratchFolder folder;
  const std::vector<std::vector<std::string>> usages = {
      {}, {"frobnicate"}, {"build"}, {"build", "p.tvxPrj"}, {"build", "--bad", "p", "a.casm"},
      {"compile"}, {"compile", "a", "b"}, {"project"}, {"project", "a", "b"}};
  for (const std::vector<std::string>& arguments : usages) {
    const TToolOutput usage = Kelmoc(folder, arguments);
    EXPECT_EQ(usage.Exit, 2) << ::testing::PrintToString(arguments);
    EXPECT_NE(usage.Text.find("kelmoc project PROJECTFILE"), std::string::npos) << ::testing::PrintToString(arguments);
  }
  folder.Write("conv.casm", "ADD R1 R2 R3.5\r\n");
  const TToolOutput conv = Kelmoc(folder, {"build", "p.tvxPrj", "conv.casm"});
  EXPECT_EQ(conv.Exit, 1);
  EXPECT_EQ(conv.Text, "正在编译...\n'3.5' is not a valid integer value\n");
}

}  // namespace

namespace {

TEST(Kelmoc, ProjectsThatCannotBeReadGetAPlainMessage) {
  TScratchFolder folder;
  std::filesystem::create_directory(folder.Path / "proj");
  ASSERT_EQ(::mkfifo(folder.File("pipe.tvxPrj").c_str(), 0600), 0);
  const TToolOutput dir = Kelmoc(folder, {"project", "proj"});
  EXPECT_EQ(dir.Exit, 1);
  // The message the workbench gives when it cannot open a project.
  EXPECT_EQ(dir.Text, "Cannot open file \"proj\". 不是普通文件 (EISDIR)\n");
  // RunTool's time bound only guards the test: the FIFO is refused at once.
  const TToolOutput fifo = Kelmoc(folder, {"project", "pipe.tvxPrj"});
  EXPECT_EQ(fifo.Exit, 1);
  EXPECT_EQ(fifo.Text, "Cannot open file \"pipe.tvxPrj\". 不是普通文件\n");
  const TToolOutput source = Kelmoc(folder, {"compile", "pipe.tvxPrj"});
  EXPECT_EQ(source.Exit, 1);
  EXPECT_EQ(Kelmoc(folder, {"project", "none.tvxPrj"}).Text,
            "Cannot open file \"none.tvxPrj\". 文件或文件夹不存在 (ENOENT)\n");
}

TEST(Kelmoc, ProjectEntriesLieBesideTheProjectFile) {
  TScratchFolder folder;
  const std::filesystem::path examples = TALVO_SOURCE_DIR "/examples/hello";
  std::filesystem::create_directories(folder.Path / "examples");
  std::filesystem::copy(examples, folder.Path / "examples/hello");
  // A file of an entry's name in the current folder is not the entry.
  folder.Write("main.casm", "what is this\r\n");
  const TToolOutput built = Kelmoc(folder, {"project", "examples/hello/hello.tvxPrj"});
  EXPECT_EQ(built.Exit, 0) << built.Text;
  EXPECT_EQ(built.Text, "正在编译...\n正常编译通过！\n");
  for (const char* name : {"hello.tvxbin", "hello.Bin", "hello.lst", "main.qobj", "sum.hex", "main.lst"}) {
    EXPECT_TRUE(std::filesystem::exists(folder.Path / "examples/hello" / name)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(folder.Path / "main.qobj"));
}

TEST(Kelmoc, OutputsNeverReplaceASource) {
  TScratchFolder folder;
  folder.Write("code.qobj", "RET\r\n");
  const TToolOutput compile = Kelmoc(folder, {"compile", "code.qobj"});
  EXPECT_EQ(compile.Exit, 1);
  EXPECT_EQ(compile.Text, "正在编译...\n错误信息：\n错误：输出文件会覆盖源文件 code.qobj\n编译失败！\n");
  folder.Write("prog.hex", "RET\r\n");
  const TToolOutput build = Kelmoc(folder, {"build", "--hex", "out.tvxPrj", "prog.hex"});
  EXPECT_EQ(build.Exit, 1);
  EXPECT_EQ(build.Text, "正在编译...\n错误：输出文件会覆盖源文件 prog.hex\n发现错误，请调试...\n");
  EXPECT_EQ(ReadBytes(folder.Path / "code.qobj"), "RET\r\n");
  EXPECT_EQ(ReadBytes(folder.Path / "prog.hex"), "RET\r\n");
}

// A disk that fills during the build: a small tmpfs in a mount namespace of its own,
// which needs root and unshare.
TEST(Kelmoc, AFullDiskFailsTheBuildAndKeepsTheLastOne) {
  TScratchFolder folder;
  const std::string disk = folder.File("disk");
  std::filesystem::create_directories(disk);
  // Scripts in a mount namespace of their own, given the disk's folder and kelmoc as
  // their arguments, never as part of their text.
  const auto inNamespace = [&](const std::string& script) {
    return RunTool({"unshare", "-m", "sh", "-c", "mount -t tmpfs -o size=256k tmpfs \"$1\" && " + script, "sh",
                    disk, kKelmoc});
  };
  if (::geteuid() != 0 || inNamespace("true").Exit != 0) {
    GTEST_SKIP() << "needs root and unshare to mount a small tmpfs";
  }
  std::string rets;
  for (int i = 0; i < 8000; ++i) rets += "RET\r\n";
  folder.Write("small.casm", "RET\r\n");
  folder.Write("big.casm", rets);
  std::filesystem::create_directories(folder.Path / "before");
  std::filesystem::create_directories(folder.Path / "after");
  // The big source fits; its object, image, listing and copy together do not. Which
  // of them meets the full disk first depends on the order the writes happen in.
  inNamespace(
      "cd \"$1\" && cp ../small.casm ../big.casm . && \"$2\" build p.tvxPrj small.casm >/dev/null && "
      "cp p.tvxbin p.lst p.Bin ../before/ && rm small.casm && "
      "\"$2\" build p.tvxPrj big.casm > ../report.txt; echo $? > ../exit.txt; ls -A > ../names.txt; "
      "cp p.tvxbin p.lst p.Bin ../after/");
  EXPECT_EQ(ReadBytes(folder.Path / "exit.txt"), "1\n");
  const std::string report = ReadBytes(folder.Path / "report.txt");
  EXPECT_NE(report.find("：磁盘空间不足 (ENOSPC)\n"), std::string::npos) << report;
  for (const char* name : {"p.tvxbin", "p.lst", "p.Bin"}) {
    EXPECT_EQ(ReadBytes(folder.Path / "after" / name), ReadBytes(folder.Path / "before" / name)) << name;
  }
  // No temporary file is left behind.
  const std::string names = ReadBytes(folder.Path / "names.txt");
  EXPECT_TRUE(names.rfind(".", 0) == std::string::npos && names.find("\n.") == std::string::npos)
      << names;
}

}  // namespace

namespace {

// Every file in the folder, hidden ones included, with its bytes.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files[entry.path().filename()] = entry.is_regular_file() ? ReadBytes(entry.path()) : "(not a file)";
  }
  return files;
}

// The one rule of writing as another user sees it: outputs the user may write are
// written even in a folder the user may not write (in place), an output the user may
// not write fails the build and keeps every old output.
TEST(Kelmoc, AFileTheUserMayWriteIsWrittenAndNoOther) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to run kelmoc as another user";
  TScratchFolder folder;
  ASSERT_EQ(::chmod(folder.Path.c_str(), 0755), 0);
  const std::filesystem::path lab = folder.Path / "lab";
  std::filesystem::create_directory(lab);
  const std::vector<std::string> nobody = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  folder.Write("lab/a.casm", "RET\r\n");
  folder.Write("lab/b.casm", "RET\r\n");
  const std::vector<std::string> build = {"build", "--hex", "lab/p.tvxPrj", "lab/a.casm", "lab/b.casm"};
  ASSERT_EQ(Kelmoc(folder, build).Exit, 0);
  for (const auto& entry : std::filesystem::directory_iterator(lab)) ASSERT_EQ(::chmod(entry.path().c_str(), 0666), 0);
  ASSERT_EQ(::chmod(lab.c_str(), 0555), 0);
  folder.Write("lab/a.casm", "RET\r\nRET\r\n");

  const TToolOutput inPlace = Kelmoc(folder, build, nobody);
  EXPECT_EQ(inPlace.Exit, 0) << inPlace.Text;
  EXPECT_EQ(ReadBytes(lab / "a.hex"), "31000000\r\n31000000\r\n");
  EXPECT_EQ(ReadBytes(lab / "p.Bin").size(), 12u);

  ASSERT_EQ(::chmod(lab.c_str(), 0777), 0);
  ASSERT_EQ(::chmod((lab / "p.Bin").c_str(), 0444), 0);
  folder.Write("lab/a.casm", "RET\r\n");
  const auto before = FolderContents(lab);
  const TToolOutput refused = Kelmoc(folder, build, nobody);
  EXPECT_EQ(refused.Exit, 1);
  EXPECT_EQ(refused.Text, "正在编译...\n错误：无法写入文件 lab/p.Bin：没有访问权限 (EACCES)\n"
                          "链接器链接错误，可能是没生成qobj文件或没有找到定义的标号...\n");
  // The objects were written before the link; the image, listing and copy are the last
  // build's, together.
  auto after = FolderContents(lab);
  after["a.qobj"] = before.at("a.qobj");
  EXPECT_EQ(after, before);
}

// Interrupted at a moment the test chooses, by any signal, a build leaves exactly the
// files that were there, each whole: a temporary file has no name until it is complete
// and goes at once into place, and where it has one (a file system without unnamed
// files, or the moment between linking it in and putting it in place) SIGINT, SIGTERM
// and SIGHUP remove it.
TEST(Kelmoc, AnInterruptedBuildLeavesNoFileBehind) {
  struct TCase {
    bool Unnamed;      // whether the file system has unnamed files
    const char* Stop;  // after which call kelmoc stops to be interrupted
    int Signal;
  };
  const TCase cases[] = {
      {true, "tmpfile:3", SIGKILL}, {true, "link:2", SIGINT},  {true, "link:4", SIGHUP},
      {false, "create:2", SIGTERM}, {false, "create:4", SIGINT}, {false, "create:6", SIGHUP},
  };
  const std::string shim = TALVO_FILE_CALLS_SHIM;
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Stop) + " " + strsignal(c.Signal));
    TScratchFolder folder;
    folder.Write("a.casm", "LD R1 OFFSET far\r\nJMP R0 R1\r\n");
    folder.Write("b.casm", "far:\r\nADD R1 R2 R3\r\n");
    const std::vector<std::string> build = {"build", "--hex", "p.tvxPrj", "a.casm", "b.casm"};
    ASSERT_EQ(Kelmoc(folder, build).Exit, 0);
    const auto before = FolderContents(folder.Path);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::alarm(kChildSeconds);
      ::setenv("LD_PRELOAD", shim.c_str(), 1);
      ::setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
      ::setenv("TALVO_SHIM_STOP", c.Stop, 1);
      if (!c.Unnamed) ::setenv("TALVO_SHIM_NO_TMPFILE", "1", 1);
      const int quiet = ::open("/dev/null", O_WRONLY);
      if (::chdir(folder.Path.c_str()) != 0 || ::dup2(quiet, 1) < 0) ::_exit(126);
      ::execl(kKelmoc.c_str(), "kelmoc", "build", "--hex", "p.tvxPrj", "a.casm", "b.casm", nullptr);
      ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    EXPECT_TRUE(WIFSTOPPED(status)) << "kelmoc ended before the moment: " << status;
    // The moment is real: a temporary file has a name then, except an unnamed one.
    const bool named = std::string(c.Stop).rfind("tmpfile", 0) != 0;
    EXPECT_EQ(FolderContents(folder.Path).size() > before.size(), named);
    ::kill(child, c.Signal);
    ::kill(child, SIGCONT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.Signal) << status;
    EXPECT_EQ(FolderContents(folder.Path), before);
  }
}

}  // namespace
