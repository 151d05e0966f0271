// kelmoc end to end: the built program on sources the test writes.

#include <gtest/gtest.h>

#include <string>

#include "../common/run_tool.h"
#include "assemble_helpers.h"
#include "output_bytes.h"

namespace {

const std::string kKelmoc = TALVO_BINARY_DIR "/tools/kelmoc/kelmoc";

TToolOutput Kelmoc(const TScratchFolder& folder, const std::string& arguments) {
  return RunTool("cd '" + folder.Path.string() + "' && " + kKelmoc + " " + arguments);
}

TEST(Kelmoc, Compile) {
  TScratchFolder folder;
  folder.Write("ok.casm", "ADD R1 R2 R3\r\n");
  folder.Write("bad.casm", "RET\r\nwhat\r\n");
  const TToolOutput ok = Kelmoc(folder, "compile ok.casm");
  EXPECT_EQ(ok.Exit, 0);
  EXPECT_EQ(ok.Text, "正在编译...\n编译成功！\n");
  EXPECT_EQ(ReadBytes(folder.Path / "ok.qobj").substr(11, 4), std::string("\x03\x02\x01\x08", 4));
  EXPECT_FALSE(std::filesystem::exists(folder.Path / "ok.hex"));

  const TToolOutput bad = Kelmoc(folder, "compile bad.casm");
  EXPECT_EQ(bad.Exit, 1);
  EXPECT_EQ(bad.Text, "正在编译...\n错误信息：\n行号：2 不能解析的代码行：what\n编译失败！\n");
  EXPECT_EQ(Kelmoc(folder, "compile missing.casm").Exit, 1);
}

TEST(Kelmoc, BuildReportsAndOutputs) {
  TScratchFolder folder;
  folder.Write("a.casm", "LD R1 OFFSET far\r\nJMP R0 R1\r\n");
  folder.Write("b.casm", "far:\r\nADD R1 R2 R3\r\n");
  const TToolOutput ok = Kelmoc(folder, "build --hex --tvxbin --lst p.tvxPrj a.casm b.casm");
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
  const TToolOutput asmFail = Kelmoc(folder, "build p.tvxPrj a.casm c.casm");
  EXPECT_EQ(asmFail.Exit, 1);
  EXPECT_EQ(asmFail.Text,
            "正在编译...\n行号：1 不能解析的代码行：nonsense here\n发现错误，请调试...\n");

  const TToolOutput linkFail = Kelmoc(folder, "build no/such/folder/p.tvxPrj a.casm");
  EXPECT_EQ(linkFail.Exit, 1);
  EXPECT_EQ(linkFail.Text,
            "正在编译...\n错误：无法写入文件 no/such/folder/p.tvxbin：文件或文件夹不存在 (ENOENT)\n"
            "链接器链接错误，可能是没生成qobj文件或没有找到定义的标号...\n");
}

TEST(Kelmoc, UsageAndConversionErrors) {
  TScratchFolder folder;
  for (const char* arguments : {"", "frobnicate", "build", "build p.tvxPrj", "build --bad p a.casm",
                                "compile", "compile a b"}) {
    EXPECT_EQ(Kelmoc(folder, arguments).Exit, 2) << arguments;
  }
  folder.Write("conv.casm", "ADD R1 R2 R3.5\r\n");
  const TToolOutput conv = Kelmoc(folder, "build p.tvxPrj conv.casm");
  EXPECT_EQ(conv.Exit, 1);
  EXPECT_EQ(conv.Text, "正在编译...\n'3.5' is not a valid integer value\n");
}

}  // namespace
