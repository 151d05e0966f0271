// Saving a project: entries stay short however often the project moves, and a save
// that fails changes neither the project file nor its options file, keeps the name
// the workbench had and says so in the box every failed save shows.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "../common/other_user.h"
#include "../common/run_tool.h"
#include "frame_fixture.h"

namespace {

namespace fs = std::filesystem;

// Answers the options dialog by turning the hex dumps off.
class TNoHexDialogs : public TProjectDialogs {
 public:
  bool EditFileList(const std::string&, std::vector<std::string>&) override { return false; }
  bool EditSetup(uint8_t (&flags)[6]) override {
    flags[5] = 0;
    return true;
  }
};

}  // namespace

TEST_F(TFrameTest, SaveAsKeepsEntriesShortThroughEveryMove) {
  for (const char* folder : {"pj/inner", "scratch"}) fs::create_directories(Dir.File(folder));
  WriteBytes(Dir.File("pj/good.casm"), "RET\r\n");
  WriteBytes(Dir.File("pj/p.tvxPrj"), "good.casm\r\n");
  Dialogs->Answers = {Q(Dir.File("pj/p.tvxPrj"))};
  Frame->MnuOpenProjectClick();
  const struct {
    const char* Project;
    const char* Entry;
  } moves[] = {
      {"pj/inner/p.tvxPrj", "../good.casm\r\n"},
      {"scratch/p.tvxPrj", "../pj/good.casm\r\n"},
      {"pj/p.tvxPrj", "good.casm\r\n"},
  };
  for (const auto& move : moves) {
    Dialogs->Answers = {Q(Dir.File(move.Project))};
    Frame->MnuSaveAsProjectClick();
    EXPECT_EQ(ReadBytes(Dir.File(move.Project)), move.Entry) << move.Project;
  }
  // Every folder it passed through may go: the project builds what it built.
  fs::remove_all(Dir.File("scratch"));
  fs::remove_all(Dir.File("pj/inner"));
  Frame->WMHotKey(4);
  EXPECT_EQ(Pane(), QStringLiteral("正在编译...\n正常编译通过！"));
  const TToolOutput run = RunTool({kKelmoc, "project", "p.tvxPrj"}, Dir.File("pj"));
  EXPECT_EQ(run.Exit, 0) << run.Text;
}

// As another user, whose project file lies in a folder of root's: the project file
// could be written in place, its options file cannot be made there.
TEST_F(TFrameTest, AFailedProjectSaveChangesNothingAndSaysSo) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as another user";
  // Another user must reach the files, which a per-user TMPDIR shuts out.
  const TScratchFolder reachable(PlaceTheOtherUserReaches());
  ASSERT_EQ(::chmod(reachable.Path.c_str(), 0755), 0);
  ASSERT_TRUE(TheOtherUserReaches(reachable.Path)) << "another user cannot reach " << reachable.Path;
  const std::string mine = reachable.File("mine");
  fs::create_directory(mine);
  WriteBytes(mine + "/a.casm", "RET\r\n");
  WriteBytes(mine + "/p.tvxPrj", "a.casm\r\n");
  const std::string theirs = reachable.File("q.tvxPrj");
  const std::string kOldEntries = "old.casm\r\n";
  WriteBytes(theirs, kOldEntries);
  for (const std::string& path : {mine, mine + "/a.casm", mine + "/p.tvxPrj", theirs})
    ASSERT_EQ(::chown(path.c_str(), TOtherUser::kUser, TOtherUser::kGroup), 0);
  TNoHexDialogs options;
  Frame->Project.Dialogs = &options;
  TOtherUser user;
  ASSERT_TRUE(user.Active);

  // Drops what the case before left unsaved.
  const auto open = [&](const std::string& project) {
    BoxAnswers = {kIdNo};
    Dialogs->Answers = {Q(project)};
    Frame->MnuOpenProjectClick();
    BoxAnswers.clear();
    Boxes.clear();
    BoxFlags.clear();
  };
  const auto addSource = [&] {
    Dialogs->Answers = {Q(mine + "/a.casm")};
    Frame->MnuAddFileClick();
  };
  const struct {
    const char* Name;
    std::function<void()> Save;
    std::string Named;  // the project the workbench names after the failure
  } cases[] = {
      {"save as onto the user's file",
       [&] {
         open(mine + "/p.tvxPrj");
         Dialogs->Answers = {Q(theirs)};
         Frame->MnuSaveAsProjectClick();
       },
       mine + "/p.tvxPrj"},
      {"save",
       [&] {
         open(theirs);
         addSource();
         Frame->MnuSaveProjectClick();
       },
       theirs},
      {"save after the options dialog",
       [&] {
         open(theirs);
         Frame->MnuProjectSetupClick();
         Frame->MnuSaveProjectClick();
       },
       theirs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Save();
    EXPECT_EQ(Boxes, QStringList{QStringLiteral("文件未能保存：") + Q(theirs) +
                                 QStringLiteral(".set\n原因：没有访问权限 (EACCES)\n磁盘上的文件未被改动。")});
    EXPECT_EQ(BoxFlags, std::vector<int>{kBoxError});
    EXPECT_EQ(Status(), QStringLiteral("保存失败！"));
    EXPECT_EQ(ReadBytes(theirs), kOldEntries);
    EXPECT_FALSE(Exists(theirs + ".set"));
    EXPECT_EQ(Frame->Project.FileName, c.Named);
  }
  Frame->Project.Dialogs = nullptr;
}
