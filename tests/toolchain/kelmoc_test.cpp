// kelmoc end to end: the built program on sources the test writes.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
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
  // The text the workbench's box gives when it cannot open a project.
  EXPECT_EQ(dir.Text, "无法打开文件：proj\n原因：不是普通文件 (EISDIR)\n");
  // RunTool's time bound only guards the test: the FIFO is refused at once.
  const TToolOutput fifo = Kelmoc(folder, {"project", "pipe.tvxPrj"});
  EXPECT_EQ(fifo.Exit, 1);
  EXPECT_EQ(fifo.Text, "无法打开文件：pipe.tvxPrj\n原因：不是普通文件 (ENOTREG)\n");
  const TToolOutput source = Kelmoc(folder, {"compile", "pipe.tvxPrj"});
  EXPECT_EQ(source.Exit, 1);
  EXPECT_EQ(Kelmoc(folder, {"project", "none.tvxPrj"}).Text,
            "无法打开文件：none.tvxPrj\n原因：文件或文件夹不存在 (ENOENT)\n");
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

// No output lands on a file the build reads: a source, an include at any depth (found
// beside the file that includes it, reached through a link), the project file or its
// options file, also where a failed build never reached the include. The build is
// refused before anything is written.
TEST(Kelmoc, OutputsNeverReplaceAFileTheBuildReads) {
  struct TCase {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Files;  // "->TARGET" for a link
    std::vector<std::string> Arguments;
    const char* Refused;      // the output in the way
    const char* Failed = "";  // the failing source's own message
  };
  const std::vector<std::string> failingBuild = {"build", "p.tvxPrj", "a.casm", "b.casm", "c.casm"};
  const std::pair<std::string, std::string> a = {"a.casm", "LD R1 1\r\n"}, object = {"a.qobj", "LD R9 9\r\n"};
  const char* bogus = "行号：1 不能解析的代码行：BOGUS R1\n";
  const TCase cases[] = {
      {"an object named like its source", {{"code.qobj", "RET\r\n"}}, {"compile", "code.qobj"}, "源文件 code.qobj"},
      {"a hex dump named like a source", {{"prog.hex", "RET\r\n"}}, {"build", "--hex", "out.tvxPrj", "prog.hex"},
       "源文件 prog.hex"},
      {"an included hex dump", {{"a.casm", "INC \"a.hex\"\r\nRET\r\n"}, {"a.hex", "X = 5\r\n"}},
       {"build", "--hex", "--lst", "p.tvxPrj", "a.casm"}, "源文件 a.hex"},
      {"an include another output reaches through a link",
       {{"a.casm", "INC \"lib/defs.inc\"\r\nRET\r\n"}, {"lib/defs.inc", "X = 5\r\n"}, {"a.hex", "->lib/defs.inc"}},
       {"build", "--hex", "p.tvxPrj", "a.casm"}, "源文件 a.hex"},
      {"an include of an include, beside it, of the second source",
       {{"a.casm", "RET\r\n"}, {"b.casm", "INC \"lib/outer.inc\"\r\nRET\r\n"}, {"lib/outer.inc", "INC \"inner.inc\"\r\n"},
        {"lib/inner.inc", "X = 5\r\n"}, {"a.tvxbin", "->lib/inner.inc"}},
       {"build", "--tvxbin", "p.tvxPrj", "a.casm", "b.casm"}, "源文件 a.tvxbin"},
      {"an include named like the object", {{"a.casm", "INC \"a.qobj\"\r\nRET\r\n"}, {"a.qobj", "X = 5\r\n"}},
       {"compile", "a.casm"}, "源文件 a.qobj"},
      {"an include of a project named like its copy",
       {{"p.tvxPrj", "a.casm\r\n"}, {"a.casm", "INC \"p.Bin\"\r\nRET\r\n"}, {"p.Bin", "X = 5\r\n"}},
       {"project", "p.tvxPrj"}, "源文件 p.Bin"},
      {"the options file",
       {{"p.tvxPrj", "a.casm\r\n"}, {"a.casm", "RET\r\n"}, {"a.hex", "->p.tvxPrj.set"}},
       {"project", "p.tvxPrj"}, "项目文件 a.hex"},
      {"an object a source after a failing one includes",
       {a, {"b.casm", "BOGUS R1\r\n"}, {"c.casm", "INC \"a.qobj\"\r\n"}, object}, failingBuild,
       "源文件 a.qobj", bogus},
      {"an include of an include of a source after a failing one, through a link",
       {a, {"b.casm", "BOGUS R1\r\n"}, {"c.casm", "INC \"lib/defs.inc\"\r\n"}, {"lib/defs.inc", "INC \"more.inc\"\r\n"},
        {"lib/more.inc", "X = 5\r\n"}, {"a.qobj", "->lib/more.inc"}},
       failingBuild, "源文件 a.qobj", bogus},
      {"an include after the failing line, past the failing include",
       {a, {"b.casm", "INC \"lib/bad.inc\"\r\nINC \"a.qobj\"\r\n"}, {"lib/bad.inc", "BOGUS R1\r\n"}, object},
       {"build", "p.tvxPrj", "a.casm", "b.casm"}, "源文件 a.qobj", "行号：2 不能解析的代码行：BOGUS R1\n"},
      {"an include after the failing line of an include",
       {a, {"b.casm", "INC \"lib/bad.inc\"\r\n"}, {"lib/bad.inc", "BOGUS R1\r\nINC \"../a.qobj\"\r\n"}, object},
       {"build", "p.tvxPrj", "a.casm", "b.casm"}, "源文件 a.qobj", "行号：2 不能解析的代码行：BOGUS R1\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TScratchFolder folder;
    folder.Write(c.Files);
    const auto before = FilesUnder(folder.Path);
    const TToolOutput refused = Kelmoc(folder, c.Arguments);
    EXPECT_EQ(refused.Exit, 1);
    const bool compiled = c.Arguments[0] == "compile";
    EXPECT_EQ(refused.Text, std::string("正在编译...\n") + (compiled ? "错误信息：\n" : "") + "错误：输出文件会覆盖" +
                                c.Refused + "\n" + c.Failed + (compiled ? "编译失败！\n" : "发现错误，请调试...\n"));
    EXPECT_EQ(FilesUnder(folder.Path), before);
  }
}

// A label no object defines, and a data reference to another source's constant (which
// gets 0), are told once per name, naming the first source that refers to it; a
// reference without a name is told by its instruction's address. The build succeeds
// as before.
TEST(Kelmoc, AnUnresolvedReferenceIsTold) {
  TScratchFolder folder;
  folder.Write("a.casm", "LD R1 OFFSET far\r\nLD R2 LABEL nowhere\r\nJMP R0 R1\r\nkonst = 9\r\nboth = 1\r\n");
  folder.Write("b.casm", "LD R3 = nowhere\r\nFUNC \xd4\xb6\r\nLD R4 SEGMENT b\r\nb:\r\nRET\r\nLD R5 = konst\r\n"
                         "LD R6 = both\r\nboth = 2\r\nLD R7 OFFSET\r\n");
  folder.Write("p.tvxPrj", "a.casm\r\nb.casm\r\n");
  const std::string told = "正在编译...\n警告：标号 far 未定义（a.casm）\n警告：标号 nowhere 未定义（a.casm）\n"
                           "警告：标号 远 未定义（b.casm）\n警告：标号 konst 在其他文件中定义，数据引用取值为 0（b.casm）\n"
                           "警告：地址 00000068 处的指令没有写标号名（b.casm）\n正常编译通过！\n";
  const TToolOutput built = Kelmoc(folder, {"build", "p.tvxPrj", "a.casm", "b.casm"});
  EXPECT_EQ(built.Exit, 0);
  EXPECT_EQ(built.Text, told);
  const TToolOutput project = Kelmoc(folder, {"project", "p.tvxPrj"});
  EXPECT_EQ(project.Exit, 0);
  EXPECT_EQ(project.Text, told);
  // Compiling one source links nothing: a label of another source is no fault there.
  EXPECT_EQ(Kelmoc(folder, {"compile", "a.casm"}).Text, "正在编译...\n编译成功！\n");
}

// A report that cannot be written out whole is none a caller can read: kelmoc says why
// on standard error and exits 3, whatever the build did.
TEST(Kelmoc, AReportThatCannotBeWrittenIsToldWithAStatusOfItsOwn) {
  TScratchFolder folder;
  folder.Write("ok.casm", "RET\r\n");
  folder.Write("bad.casm", "what\r\n");
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"build", "p.tvxPrj", "ok.casm"},
                                                    std::vector<std::string>{"compile", "bad.casm"}}) {
    SCOPED_TRACE(arguments[0]);
    const TToolOutput out = Kelmoc(folder, arguments, {"sh", "-c", "\"$@\" >/dev/full", "sh"});
    EXPECT_EQ(out.Exit, 3) << out.Text;
    EXPECT_EQ(out.Text, "错误：编译报告没能完整写到标准输出：磁盘空间不足 (ENOSPC)\n");
  }
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

// A file size limit fails the write past it, which fails the build with the reason:
// it does not end kelmoc before it can say which file.
TEST(Kelmoc, AFileSizeLimitFailsTheBuildWithTheReason) {
  TScratchFolder folder;
  folder.Write("big.casm", "ORG 40000\r\nRET\r\n");
  const TToolOutput limited = Kelmoc(folder, {"build", "p.tvxPrj", "big.casm"}, {"prlimit", "--fsize=16384", "--"});
  EXPECT_EQ(limited.Exit, 1) << limited.Text;
  EXPECT_NE(limited.Text.find("：文件太大 (EFBIG)\n"), std::string::npos) << limited.Text;
}

// An output written over its own bytes (it has a second name) whose old bytes could
// not be put back after a failed write is told as one that may be changed. The failing
// disk is the shim's.
TEST(Kelmoc, AnOutputThatMayBeChangedSaysSo) {
  TScratchFolder folder;
  folder.Write("ok.casm", "ADD R1 R2 R3\r\n");
  folder.Write("ok.qobj", "old");
  std::filesystem::create_hard_link(folder.Path / "ok.qobj", folder.Path / "ok2.qobj");
  const TToolOutput failed =
      Kelmoc(folder, {"compile", "ok.casm"},
             {"env", std::string("LD_PRELOAD=") + TALVO_FILE_CALLS_SHIM, "ASAN_OPTIONS=verify_asan_link_order=0",
              "TALVO_SHIM_FAIL=pwrite:1:2"});
  EXPECT_EQ(failed.Exit, 1);
  EXPECT_NE(failed.Text.find("错误：无法写入文件 ok.qobj：输入输出错误 (EIO)，磁盘上的文件可能已被改动\n"),
            std::string::npos)
      << failed.Text;
}

}  // namespace

namespace {

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
  const auto before = FilesUnder(lab);
  const TToolOutput refused = Kelmoc(folder, build, nobody);
  EXPECT_EQ(refused.Exit, 1);
  EXPECT_EQ(refused.Text, "正在编译...\n错误：无法写入文件 lab/p.Bin：没有访问权限 (EACCES)\n"
                          "链接器链接错误，可能是没生成qobj文件或没有找到定义的标号...\n");
  // The objects were written before the link; the image, listing and copy are the last
  // build's, together.
  auto after = FilesUnder(lab);
  after["a.qobj"] = before.at("a.qobj");
  EXPECT_EQ(after, before);
}

// Interrupted at a moment the test chooses, by any signal, a build leaves exactly the
// files that were there, each whole: a temporary file has no name until it is complete
// and goes at once into place, and where it has one (a file system without unnamed
// files, or the moment between linking it in and putting it in place) SIGINT, SIGTERM,
// SIGHUP and SIGQUIT remove it, once a name another thread is making exists. Without
// /proc, unnamed files still take their names. A signal kelmoc was started to ignore
// changes nothing.
TEST(Kelmoc, AnInterruptedBuildLeavesNoFileBehind) {
  struct TCase {
    // The shim's settings: the call after which kelmoc stops to be sent the signal
    // (STOP) or before which a second thread sends it (SIGNAL), and what the host lacks.
    const char* Shim;
    int Signal;
    bool IgnoredAtStart = false;
  };
  const TCase cases[] = {
      {"STOP=tmpfile:3", SIGKILL},           {"STOP=link:2", SIGINT},
      {"STOP=link:4", SIGHUP},               {"STOP=create:2 NO_TMPFILE=1", SIGTERM},
      {"STOP=create:4 NO_TMPFILE=1", SIGINT}, {"STOP=create:6 NO_TMPFILE=1", SIGHUP},
      {"STOP=create:3 NO_TMPFILE=1", SIGQUIT}, {"STOP=link:3 NO_PROC=1", SIGTERM},
      {"STOP=link:2", SIGHUP, true},         {"SIGNAL=create:1:2 NO_TMPFILE=1", SIGINT},
      {"SIGNAL=link:1:15", SIGTERM},
  };
  const std::string shim = TALVO_FILE_CALLS_SHIM;
  for (const TCase& c : cases) {
    const std::string settings = c.Shim;
    SCOPED_TRACE(settings + " " + strsignal(c.Signal) + (c.IgnoredAtStart ? ", ignored at start" : ""));
    TScratchFolder folder;
    folder.Write("a.casm", "LD R1 OFFSET far\r\nJMP R0 R1\r\n");
    folder.Write("b.casm", "far:\r\nADD R1 R2 R3\r\n");
    const std::vector<std::string> build = {"build", "--hex", "p.tvxPrj", "a.casm", "b.casm"};
    ASSERT_EQ(Kelmoc(folder, build).Exit, 0);
    const auto before = FilesUnder(folder.Path);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::alarm(kChildSeconds);
      const rlimit noCore{0, 0};
      ::setrlimit(RLIMIT_CORE, &noCore);
      ::setenv("LD_PRELOAD", shim.c_str(), 1);
      ::setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
      std::istringstream words(settings);
      for (std::string word; words >> word;) ::putenv(::strdup(("TALVO_SHIM_" + word).c_str()));
      if (c.IgnoredAtStart) ::signal(c.Signal, SIG_IGN);
      const int quiet = ::open("/dev/null", O_WRONLY);
      if (::chdir(folder.Path.c_str()) != 0 || ::dup2(quiet, 1) < 0) ::_exit(126);
      ::execl(kKelmoc.c_str(), "kelmoc", "build", "--hex", "p.tvxPrj", "a.casm", "b.casm", nullptr);
      ::_exit(127);
    }
    int status = 0;
    if (settings.rfind("STOP=", 0) == 0) {
      ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
      EXPECT_TRUE(WIFSTOPPED(status)) << "kelmoc ended before the moment: " << status;
      // The moment is real: a temporary file has a name then, except an unnamed one.
      const bool named = settings.rfind("STOP=tmpfile", 0) != 0;
      EXPECT_EQ(FilesUnder(folder.Path).size() > before.size(), named);
      ::kill(child, c.Signal);
      ::kill(child, SIGCONT);
    }
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (c.IgnoredAtStart) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.Signal) << status;
    }
    EXPECT_EQ(FilesUnder(folder.Path), before);
  }
}

}  // namespace
