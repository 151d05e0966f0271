// A project saved as a file in another folder builds what it built before: each
// relative entry is rewritten to name the same file from there, in the form the
// project file keeps names.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>

#include "../common/run_tool.h"
#include "test_files.h"
#include "workbench/model/entry_rebase.h"
#include "workbench/model/project.h"

namespace {

namespace fs = std::filesystem;

struct TRebaseCase {
  const char* Entry;
  const char* OldFolder;  // in the scratch folder
  const char* NewFolder;
  std::optional<std::string> Rebased;
};

TEST(EntryRebase, NamesTheSameFileFromTheNewFolder) {
  TScratchFolder dir;
  for (const char* folder : {"pj/sub", "other", "学习", "😀", "deep/er"}) fs::create_directories(dir.File(folder));
  fs::create_directory_symlink(dir.File("deep/er"), dir.File("link"));
  const TRebaseCase cases[] = {
      {"good.casm", "pj/", "other/", std::string("../pj/good.casm")},
      {"good.casm", "pj/", "pj/sub/", std::string("../good.casm")},
      {"good.casm", "pj/", "", std::string("pj/good.casm")},
      {"sub/x.casm", "pj/", "other/", std::string("../pj/sub/x.casm")},
      {"../lib.casm", "pj/", "pj/sub/", std::string("../../lib.casm")},
      // An entry that lands in the new folder is its bare name.
      {"sub/x.casm", "pj/", "pj/sub/", std::string("x.casm")},
      {"../good.casm", "pj/sub/", "pj/", std::string("good.casm")},
      // The same folder, however it is spelt: the entry is kept as it is.
      {"./good.casm", "pj/", "pj/", std::string("./good.casm")},
      {"good.casm", "pj/", "pj/sub/../", std::string("good.casm")},
      // Absolute and empty entries name what they named.
      {"/abs/a.casm", "pj/", "other/", std::string("/abs/a.casm")},
      {"", "pj/", "other/", std::string("")},
      // ".." from a linked folder goes up from where the link leads.
      {"good.casm", "pj/", "link/", std::string("../../pj/good.casm")},
      {"link/../x.casm", "", "other/", std::string("../deep/x.casm")},
      // The entry's folder is resolved, so entries do not grow with every move.
      {"../good.casm", "pj/sub/", "other/", std::string("../pj/good.casm")},
      {"gone/../good.casm", "pj/", "other/", std::string("../pj/good.casm")},
      // The entry's own bytes stay: GBK, and bytes that are not GBK.
      {"\xd1\xa7.casm", "pj/", "other/", std::string("../pj/\xd1\xa7.casm")},
      {"x\xffy.casm", "pj/", "other/", std::string("../pj/x\xffy.casm")},
      {"\xe5\xad\xa6.casm", "pj/", "other/", std::string("../pj/\xe5\xad\xa6.casm")},
      // A folder name goes into the file as GBK, with the entry in the same form.
      {"good.casm", "学习/", "other/", std::string("../\xd1\xa7\xcf\xb0/good.casm")},
      {"\xe5\xad\xa6.casm", "学习/", "other/", std::string("../\xd1\xa7\xcf\xb0/\xd1\xa7.casm")},
      // No stored name names a file under a folder GBK cannot hold.
      {"good.casm", "😀/", "other/", std::nullopt},
  };
  for (const TRebaseCase& c : cases) {
    const std::string newFolder = *c.NewFolder == '\0' ? dir.Path.string() + "/" : dir.File(c.NewFolder);
    const std::string oldFolder = *c.OldFolder == '\0' ? dir.Path.string() + "/" : dir.File(c.OldFolder);
    EXPECT_EQ(TEntryRebase(oldFolder, newFolder)(c.Entry), c.Rebased)
        << c.Entry << " from " << c.OldFolder << " to " << c.NewFolder;
  }
}

class ProjectSaveAs : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Dir.File("pj"));
    fs::create_directories(Dir.File("other"));
    WriteBytes(Dir.File("pj/good.casm"), "LD R8 OFFSET sub\r\nJMP R0 R8\r\n");
    WriteBytes(Dir.File("pj/more.casm"), "sub:\r\nRET\r\n");
    WriteBytes(Dir.File("pj/pj.tvxPrj"), "good.casm\r\nmore.casm\r\n");
    ASSERT_EQ(Project.LoadFromFile(Dir.File("pj/pj.tvxPrj")), 0);
    Project.FileName = Dir.File("pj/pj.tvxPrj");
  }
  TScratchFolder Dir;
  TProject Project;
};

TEST_F(ProjectSaveAs, ToAnotherFolderBuildsTheSameFiles) {
  ASSERT_EQ(Project.SaveAs(Dir.File("other/pj2.tvxPrj")), 0);
  EXPECT_EQ(ReadBytes(Dir.File("other/pj2.tvxPrj")), "../pj/good.casm\r\n../pj/more.casm\r\n");
  EXPECT_TRUE(Exists(Dir.File("other/pj2.tvxPrj.set")));
  EXPECT_EQ(Project.FileName, Dir.File("other/pj2.tvxPrj"));
  ASSERT_EQ(Project.Build(), 0) << Project.Compiler.Messages;
  EXPECT_TRUE(Exists(Dir.File("other/pj2.Bin")));
  // The file saved is the one kelmoc builds, from any folder.
  const TToolOutput run = RunTool({kKelmoc, "project", "other/pj2.tvxPrj"}, Dir.Path.string());
  EXPECT_EQ(run.Exit, 0) << run.Text;
  // Saving again where it is changes no entry.
  ASSERT_EQ(Project.SaveAs(Project.FileName), 0);
  EXPECT_EQ(ReadBytes(Dir.File("other/pj2.tvxPrj")), "../pj/good.casm\r\n../pj/more.casm\r\n");
}

TEST_F(ProjectSaveAs, ThatCannotNameAnEntryOrWriteChangesNothing) {
  fs::create_directories(Dir.File("😀"));
  WriteBytes(Dir.File("😀/p.tvxPrj"), "good.casm\r\n");
  TProject emoji;
  emoji.LoadFromFile(Dir.File("😀/p.tvxPrj"));
  emoji.FileName = Dir.File("😀/p.tvxPrj");
  std::string unstorable;
  EXPECT_EQ(emoji.SaveAs(Dir.File("other/p.tvxPrj"), &unstorable), kSaveNameNotStorable);
  EXPECT_EQ(unstorable, Dir.File("😀/good.casm"));
  EXPECT_FALSE(Exists(Dir.File("other/p.tvxPrj")));
  EXPECT_EQ(emoji.FileName, Dir.File("😀/p.tvxPrj"));
  EXPECT_EQ(emoji.AllFiles(), std::vector<std::string>{"good.casm"});

  EXPECT_THROW(Project.SaveAs(Dir.File("none/p.tvxPrj")), std::runtime_error);
  EXPECT_EQ(Project.FileName, Dir.File("pj/pj.tvxPrj"));
  EXPECT_EQ(Project.AllFiles(), (std::vector<std::string>{"good.casm", "more.casm"}));
}

}  // namespace
