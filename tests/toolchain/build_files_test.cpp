// What a build does to the files around it: outputs that would replace a source or
// each other stop it before anything is written, an output that cannot be written
// fails its step with the file and the reason and leaves the old file, and every
// refusal says why.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../common/stored_name.h"
#include "assemble_helpers.h"
#include "base/file_error.h"
#include "base/gbk_convert.h"
#include "toolchain/build_report.h"
#include "toolchain/complier_asm.h"
#include "toolchain/gbk_texts.h"

namespace {

namespace fs = std::filesystem;

class BuildFiles : public ScratchFolderTest {
 protected:
  // Builds the named sources (already written) as the project, as the workbench does:
  // the link, then the per-file outputs asked for.
  int32_t Build(const std::string& project, const std::vector<std::string>& sources,
                TPerFileOutputs outputs = {}) {
    compiler.ClearFiles();
    for (const std::string& source : sources) compiler.AddFile(PathOf(source));
    compiler.OutputName = PathOf(project);
    compiler.PerFileOutputs = outputs;
    const int32_t result = compiler.BuildAll();
    return result != 0 ? result : compiler.SavePerFileOutputs();
  }
  // Message lines as Messages hold them (UTF-8), for a GBK text and reason.
  std::string Line(const char* text, const std::string& name) const {
    return GbkToUtf8(text) + PathOf(name) + "\r\n";
  }
  std::string Failure(const char* text, const std::string& name, const std::string& reason) const {
    return GbkToUtf8(text) + PathOf(name) + GbkToUtf8(gbk::kMsgPathReasonSeparator + reason) + "\r\n";
  }
  std::string Failure(const char* text, const std::string& name, int error) const {
    return Failure(text, name, FileErrorReason(error));
  }
  // The files in the folder, hidden temporary files included.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  TComplierAsm compiler;
};

TEST_F(BuildFiles, OutputsInTheWayOfASourceOrEachOtherStopTheBuildBeforeAnyWrite) {
  scratch_.Write("demo.casm", "RET\r\n");
  scratch_.Write("lib.casm", "RET\r\n");
  // The per-source image and listing of demo.casm are the linked image and listing.
  EXPECT_EQ(Build("demo.tvxPrj", {"demo.casm", "lib.casm"}, {false, true, false}), -1);
  EXPECT_EQ(compiler.Messages, Line(gbk::kMsgOutputTwice, "demo.tvxbin"));
  EXPECT_EQ(Build("demo.tvxPrj", {"demo.casm", "lib.casm"}, {false, false, true}), -1);
  EXPECT_EQ(compiler.Messages, Line(gbk::kMsgOutputTwice, "demo.lst"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"demo.casm", "lib.casm"}));
  // Two sources of one name in one folder share their object file.
  scratch_.Write("lib.s", "RET\r\n");
  EXPECT_EQ(Build("demo.tvxPrj", {"lib.casm", "lib.s"}), -1);
  EXPECT_EQ(compiler.Messages, Line(gbk::kMsgOutputTwice, "lib.qobj"));
  // A source the outputs are named like, and one reached through a link.
  scratch_.Write("prog.hex", "RET\r\n");
  EXPECT_EQ(Build("out.tvxPrj", {"prog.hex"}, {true, false, false}), -1);
  EXPECT_EQ(compiler.Messages, Line(gbk::kMsgOverwritesSource, "prog.hex"));
  EXPECT_EQ(ReadBytes(dir_ / "prog.hex"), "RET\r\n");
  fs::create_symlink(dir_ / "lib.casm", dir_ / "p.Bin");
  EXPECT_EQ(Build("p.tvxPrj", {"lib.casm"}), -1);
  EXPECT_EQ(compiler.Messages, Line(gbk::kMsgOverwritesSource, "p.Bin"));
  EXPECT_EQ(ReadBytes(dir_ / "lib.casm"), "RET\r\n");
  // A link to where another output goes, though nothing is there yet.
  fs::create_symlink("p.tvxbin", dir_ / "lib.hex");
  EXPECT_EQ(Build("p.tvxPrj", {"lib.casm"}, {true, false, false}), -1);
  EXPECT_EQ(compiler.Messages, Line(gbk::kMsgOutputTwice, "p.tvxbin"));
  EXPECT_FALSE(fs::exists(dir_ / "p.tvxbin"));
  fs::remove(dir_ / "lib.hex");
  // The project file itself.
  scratch_.Write("proj.lst", "lib.casm\r\n");
  EXPECT_EQ(Build("proj.lst", {"lib.casm"}), -1);
  EXPECT_EQ(compiler.Messages, Line(gbk::kMsgOverwritesProject, "proj.lst"));

  // The same source twice writes the same object twice, which is no clash; the
  // per-source outputs that clash with nothing are written.
  ASSERT_EQ(Build("demo.tvxPrj", {"demo.casm", "./demo.casm", "lib.casm"}, {true, false, false}), 0);
  EXPECT_EQ(ReadBytes(dir_ / "demo.tvxbin").size(), 12u);
  EXPECT_EQ(ReadBytes(dir_ / "demo.hex"), "31000000\r\n");
}

// Any source name the file system takes builds and builds again, with every output
// whose name it takes.
TEST_F(BuildFiles, LongSourceNamesBuild) {
  for (const size_t length : {248u, 255u}) {
    const std::string source = std::string(length - 5, 's') + ".casm";
    SCOPED_TRACE(length);
    scratch_.Write(source, "RET\r\n");
    // ".tvxbin" would make the longest name too long for the file system.
    const TPerFileOutputs outputs{true, length < 255, true};
    ASSERT_EQ(Build("p.tvxPrj", {source}, outputs), 0) << compiler.Messages;
    ASSERT_EQ(Build("p.tvxPrj", {source}, outputs), 0) << compiler.Messages;
    EXPECT_EQ(ReadBytes(dir_ / (source.substr(0, length - 5) + ".hex")), "31000000\r\n");
    EXPECT_EQ(ReadBytes(dir_ / "p.tvxbin"), std::string("\0\0\0\x31", 4));
  }
}

TEST_F(BuildFiles, CompilingAnObjectFileNeverReplacesIt) {
  const std::string bytes = "RET\r\n";
  TAsmFile file;
  EXPECT_EQ(file.AssembleFile(scratch_.Write("code.qobj", bytes)), -4);
  EXPECT_EQ(file.Messages, Line(gbk::kMsgOverwritesSource, "code.qobj"));
  EXPECT_EQ(ReadBytes(dir_ / "code.qobj"), bytes);
}

TEST_F(BuildFiles, AnOutputThatCannotBeWrittenFailsItsStepAndLeavesTheOldFile) {
  scratch_.Write("a.casm", "RET\r\n");
  ASSERT_EQ(Build("p.tvxPrj", {"a.casm"}), 0);
  const std::string image = ReadBytes(dir_ / "p.tvxbin");
  const std::string listing = ReadBytes(dir_ / "p.lst");

  // A folder where the copy goes: the link fails as a whole, with its reason, and the
  // image and listing of the last build stay beside the copy they belong to.
  fs::remove(dir_ / "p.Bin");
  fs::create_directory(dir_ / "p.Bin");
  scratch_.Write("a.casm", "RET\r\nRET\r\n");
  EXPECT_EQ(Build("p.tvxPrj", {"a.casm"}), -2);
  EXPECT_EQ(compiler.Messages, Failure(gbk::kMsgCannotWrite, "p.Bin", EISDIR));
  EXPECT_EQ(ReadBytes(dir_ / "p.tvxbin"), image);
  EXPECT_EQ(ReadBytes(dir_ / "p.lst"), listing);
  const std::vector<std::string> report = BuildReport(-2, compiler.Messages, compiler.Warnings).Lines;
  ASSERT_EQ(report.size(), 2u);
  EXPECT_EQ(report[1], GbkToUtf8(gbk::kReportLinkError));

  // A per-file output: the build fails, naming it; the ones before it are written.
  fs::remove(dir_ / "p.Bin");
  fs::create_directory(dir_ / "a.lst");
  EXPECT_EQ(Build("p.tvxPrj", {"a.casm"}, {true, true, true}), -1);
  EXPECT_EQ(compiler.Messages, Failure(gbk::kMsgCannotWrite, "a.lst", EISDIR));
  EXPECT_EQ(ReadBytes(dir_ / "a.hex"), "31000000\r\n31000000\r\n");
  for (const std::string& name : Names()) EXPECT_NE(name[0], '.') << name;
}

TEST_F(BuildFiles, AnObjectWrittenMeanwhileStillStopsTheBuildFirst) {
  // a's object is written while b is assembled; its failure is the one reported, and
  // nothing is linked.
  scratch_.Write("a.casm", "RET\r\n");
  scratch_.Write("b.casm", "what is this\r\n");
  fs::create_directory(dir_ / "a.qobj");
  EXPECT_EQ(Build("p.tvxPrj", {"a.casm", "b.casm"}), -1);
  EXPECT_EQ(compiler.Messages, Failure(gbk::kMsgCannotWrite, "a.qobj", EISDIR));
  // The last source's object is written while the link is prepared.
  scratch_.Write("b.casm", "RET\r\n");
  EXPECT_EQ(Build("p.tvxPrj", {"b.casm", "a.casm"}), -1);
  EXPECT_EQ(compiler.Messages, Failure(gbk::kMsgCannotWrite, "a.qobj", EISDIR));
  EXPECT_FALSE(fs::exists(dir_ / "p.tvxbin"));
  EXPECT_TRUE(fs::exists(dir_ / "b.qobj"));
}

TEST_F(BuildFiles, RefusalsSayWhy) {
  TAsmFile file;
  EXPECT_EQ(file.AssembleFile(""), -1);
  EXPECT_EQ(file.Messages, GbkToUtf8(gbk::kMsgNoFileName));
  EXPECT_EQ(file.AssembleFile(PathOf("none.casm")), -1);
  EXPECT_EQ(file.Messages, Failure(gbk::kMsgCannotRead, "none.casm", ENOENT));
  // A source above the size bound is refused before a byte of it is read.
  const std::string huge = scratch_.Write("huge.casm", "");
  fs::resize_file(huge, TAsmFile::kMaxBufferBytes + 1);
  EXPECT_EQ(file.AssembleFile(huge), -1);
  EXPECT_EQ(file.Messages, Failure(gbk::kMsgCannotRead, "huge.casm", EFBIG));

  const std::string label(2000, 'L');
  EXPECT_EQ(file.AssembleFile(scratch_.Write("long.casm", label + ":\r\nRET\r\n")), -4);
  EXPECT_EQ(file.Messages, Failure(gbk::kMsgNameTooLong, "long.qobj", std::string(32, 'L') + "..."));

  // The compile command's report: the reason stands in the line after "错误信息：".
  const std::vector<std::string> report = CompileReport(-4, file.Messages).Lines;
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0], "错误信息：");
  EXPECT_EQ(report[1] + "\r\n", file.Messages);
}

TEST_F(BuildFiles, TheLinkerListingNamesObjectsInGbk) {
  fs::create_directory(dir_ / "学生项目");
  scratch_.Write("学生项目/a.casm", "RET\r\n");
  ASSERT_EQ(Build("学生项目/p.tvxPrj", {"学生项目/a.casm"}), 0);
  const std::string listing = ReadBytes(dir_ / "学生项目/p.lst");
  const std::string named = std::string(gbk::kDumpFileName) + StoredName(dir_) +
                            "/\xd1\xa7\xc9\xfa\xcf\xee\xc4\xbf/a.qobj\r\n";  // 学生项目
  EXPECT_NE(listing.find(named), std::string::npos);
}

}  // namespace
