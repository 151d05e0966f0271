// The files an assembly reads: only regular files, never blocking on a FIFO; include
// names in GBK; relative includes beside the including file; a bound on all that one
// assembly includes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "../common/stored_name.h"
#include "assemble_helpers.h"
#include "base/file_error.h"
#include "toolchain/gbk_texts.h"

namespace {

namespace fs = std::filesystem;

class SourceReading : public ScratchFolderTest {
 protected:
  // Assembles the source and gives the words; fails the test when it does not assemble.
  std::vector<uint32_t> AssembledWords(const std::string& path) {
    TAsmFile file;
    EXPECT_EQ(file.AssembleFile(path), 0) << file.Messages;
    return Words(file);
  }
};

TEST_F(SourceReading, FifosFoldersAndDevicesAreRefusedWithoutBlocking) {
  const std::string fifo = PathOf("pipe.casm");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(dir_ / "folder.casm");
  TAsmFile file;
  EXPECT_EQ(file.LoadFile(fifo), -3);
  EXPECT_EQ(file.Messages, "错误：无法读取文件 " + fifo + "：不是普通文件 (ENOTREG)\r\n");
  EXPECT_EQ(file.LoadFile(PathOf("folder.casm")), -3);
  EXPECT_EQ(file.LoadFile("/dev/zero"), -3);
  // As includes they are files that cannot be opened: the line goes on to the
  // instructions, where INC with one operand fails. Named beside the including file,
  // as an INC line cannot name a folder whose path holds a quote.
  for (const char* name : {"pipe.casm", "folder.casm", "/dev/zero"}) {
    const std::string source = std::string("RET\r\nINC \"") + name + "\"\r\n";
    EXPECT_EQ(file.AssembleFile(scratch_.Write("src.casm", source)), -2);
    EXPECT_EQ(Words(file).size(), 1u);
  }
}

TEST_F(SourceReading, IncludesWithChineseNames) {
  // 包含文件 "库.casm", as the source holds it in GBK; the file has its UTF-8 name.
  const std::string gbkName = "\xbf\xe2.casm";  // 库.casm
  scratch_.Write("库.casm", "PUSH R1\r\n");
  const std::string relative = std::string(gbk::kKeywordInclude) + " \"" + gbkName + "\"\r\n";
  EXPECT_EQ(AssembledWords(scratch_.Write("a.casm", relative)), (std::vector<uint32_t>{0x60000001}));
  if (dir_.string().find('"') != std::string::npos)
    GTEST_SKIP() << "an INC line cannot name the scratch folder, whose path holds a quote: " << dir_;
  const std::string absolute = "INC \"" + StoredName(dir_) + "/" + gbkName + "\"\r\n";
  EXPECT_EQ(AssembledWords(scratch_.Write("b.casm", absolute)), (std::vector<uint32_t>{0x60000001}));
}

TEST_F(SourceReading, RelativeIncludesLookInTheCurrentFolderThenBesideTheIncludingFile) {
  fs::create_directories(dir_ / "proj/lib");
  fs::create_directories(dir_ / "elsewhere/lib");
  scratch_.Write("proj/main.casm", "INC \"lib/outer.casm\"\r\n");
  scratch_.Write("proj/lib/outer.casm", "INC \"inner.casm\"\r\n");
  scratch_.Write("proj/lib/inner.casm", "PUSH R1\r\n");
  {
    TCurrentFolder current(dir_ / "elsewhere");
    // Found beside main.casm, then inner.casm beside outer.casm.
    EXPECT_EQ(AssembledWords(PathOf("proj/main.casm")), (std::vector<uint32_t>{0x60000001}));
  }
  // The current folder comes first.
  scratch_.Write("elsewhere/lib/outer.casm", "POP R2\r\n");
  TCurrentFolder current(dir_ / "elsewhere");
  EXPECT_EQ(AssembledWords(PathOf("proj/main.casm")), (std::vector<uint32_t>{0x61000002}));
}

TEST_F(SourceReading, OneAssemblyIncludesNoMoreThanItsBound) {
  // A file a little over a third of the bound: two includes of it fit, the third not,
  // although each alone would.
  scratch_.Write("big.casm", "//" + std::string(TAsmFile::kMaxBufferBytes / 3, 'x') + "\r\n");
  const std::string line = "INC \"big.casm\"\r\n";
  TAsmFile file;
  EXPECT_EQ(file.AssembleFile(scratch_.Write("two.casm", line + line + "RET\r\n")), 0);
  EXPECT_EQ(file.AssembleFile(scratch_.Write("three.casm", line + line + line + "RET\r\n")), -2);
  EXPECT_NE(file.Messages.find(line.substr(0, line.size() - 2)), std::string::npos);
}

}  // namespace
