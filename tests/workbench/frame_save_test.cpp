// Saving never loses text: a save that did not reach the disk says so and keeps
// the file as it was, a cancelled quit changes nothing, and a project keeps its
// name and its entries' bytes through a failed save.

#include <sys/stat.h>

#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "../common/file_calls.h"
#include "../common/other_user.h"
#include "../common/state_home.h"
#include "frame_fixture.h"
#include "full_disk.h"

namespace {

// 加法 R1 / 新 in GBK.
const std::string kOldSource = "\xbc\xd3\xb7\xa8 R1\r\n";
const QString kNewText = QStringLiteral("加法 R1\n新\n");
const std::string kNewSource = "\xbc\xd3\xb7\xa8 R1\r\n\xd0\xc2\r\n";

}  // namespace

class TFrameSaveTest : public TFrameTest {
 protected:
  std::vector<std::string> FilesIn(const std::filesystem::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(TFrameSaveTest, AFullDiskIsReportedAndTheOldFileKept) {
  TFullDisk disk(Dir.Path / "disk");
  if (!disk.Ready) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
  const std::string source = (disk.MountPoint / "s.casm").string();
  WriteBytes(source, kOldSource);
  TFrmCode* editor = OpenAndType(source, kNewText);
  ASSERT_TRUE(disk.Fill());

  Frame->MnuSaveClick();
  ASSERT_EQ(Boxes.size(), 1);
  EXPECT_TRUE(Boxes[0].contains(Q(source))) << Boxes[0].toStdString();
  EXPECT_TRUE(Boxes[0].contains(QStringLiteral("磁盘空间不足 (ENOSPC)"))) << Boxes[0].toStdString();
  EXPECT_EQ(Status(), QStringLiteral("保存失败！"));
  EXPECT_EQ(ReadBytes(source), kOldSource);
  EXPECT_TRUE(editor->IsModified());
  EXPECT_EQ(editor->Memo->toPlainText(), kNewText);

  // The message pane fares the same, and no temporary file is left behind.
  Dialogs->Answers = {Q((disk.MountPoint / "info.txt").string())};
  Frame->SavePane(Frame->MemoSys);
  ASSERT_EQ(Boxes.size(), 2);
  EXPECT_TRUE(Boxes[1].contains(QStringLiteral("磁盘空间不足 (ENOSPC)")));
  EXPECT_EQ(FilesIn(disk.MountPoint), (std::vector<std::string>{"filler", "s.casm"}));

  disk.MakeRoom();
  Frame->MnuSaveClick();
  EXPECT_EQ(Status(), QStringLiteral("保存完毕！"));
  EXPECT_EQ(ReadBytes(source), kNewSource);
  EXPECT_FALSE(editor->IsModified());
}

// The file's own protection decides every save: a file the user may not write is
// refused whatever its folder allows, and one the user may write is saved even where
// its folder takes no other file (in place).
TEST_F(TFrameSaveTest, TheFilesOwnProtectionDecides) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as another user";
  constexpr uid_t kUser = TOtherUser::kUser;
  // Another user must reach the files, which a per-user TMPDIR shuts out.
  const TScratchFolder reachable(PlaceTheOtherUserReaches());
  ASSERT_EQ(::chmod(reachable.Path.c_str(), 0755), 0);
  ASSERT_TRUE(TheOtherUserReaches(reachable.Path)) << "another user cannot reach " << reachable.Path;
  const auto own = [](const std::string& path, mode_t mode) {
    EXPECT_EQ(::chown(path.c_str(), kUser, kUser), 0);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
  };
  const auto place = [&](const std::string& path, const std::string& bytes, mode_t mode) {
    WriteBytes(path, bytes);
    own(path, mode);
    return path;
  };
  std::filesystem::create_directory(reachable.File("mine"));
  std::filesystem::create_directory(reachable.File("roots"));
  own(reachable.File("mine"), 0755);
  const std::string readOnly = place(reachable.File("mine/ro.casm"), kOldSource, 0444);
  const std::string info = place(reachable.File("mine/info.txt"), "old info", 0444);
  const std::string project = place(reachable.File("mine/p.tvxPrj"), "old.casm\r\n", 0444);
  const std::string mine = place(reachable.File("roots/mine.casm"), kOldSource, 0644);
  const QString denied = QStringLiteral("没有访问权限 (EACCES)");

  TOtherUser user;
  ASSERT_TRUE(user.Active);
  Frame->show();
  Frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Frame.get(), 30000));
  const auto ctrlS = [this] { QTest::keyClick(Frame.get(), Qt::Key_S, Qt::ControlModifier); };
  struct TCase {
    const char* Name;
    std::function<void()> Save;
    const std::string& Path;
    std::string OldBytes;
  };
  TFrmCode* editor = nullptr;
  const TCase refused[] = {
      {"editor",
       [&] {
         editor = OpenAndType(readOnly, kNewText);
         ctrlS();
       },
       readOnly, kOldSource},
      {"message pane",
       [&] {
         Dialogs->Answers = {Q(info)};
         Frame->SavePane(Frame->MemoSys);
       },
       info, "old info"},
      {"project",
       [&] {
         Dialogs->Answers = {Q(reachable.File("a.casm")), Q(project)};
         Frame->MnuAddFileClick();
         Frame->MnuSaveProjectClick();
       },
       project, "old.casm\r\n"},
  };
  for (const TCase& c : refused) {
    SCOPED_TRACE(c.Name);
    Boxes.clear();
    c.Save();
    EXPECT_EQ(Boxes, QStringList{NotSaved(c.Path, denied)});
    EXPECT_EQ(ReadBytes(c.Path), c.OldBytes);
    EXPECT_EQ(Status(), QStringLiteral("保存失败！"));
  }
  EXPECT_TRUE(editor->IsModified());
  EXPECT_TRUE(Frame->Project.FileName.empty());

  // A file of the user's own in root's folder.
  Boxes.clear();
  editor = OpenAndType(mine, kNewText);
  ctrlS();
  EXPECT_TRUE(Boxes.isEmpty()) << Boxes.join('\n').toStdString();
  EXPECT_EQ(Status(), QStringLiteral("保存完毕！"));
  EXPECT_EQ(ReadBytes(mine), kNewSource);
  EXPECT_FALSE(editor->IsModified());
}

TEST_F(TFrameSaveTest, AFailedSaveNamesTheFileAndTheReasonAndKeepsTheEditorsName) {
  WriteBytes(Dir.File("s.casm"), kOldSource);
  TFrmCode* editor = OpenAndType(Dir.File("s.casm"), kNewText);
  const std::string target = Dir.File("none/t.casm");
  Dialogs->Answers = {Q(target)};
  Frame->MnuSaveAsClick();
  ASSERT_EQ(Boxes.size(), 1);
  EXPECT_EQ(Boxes[0], QStringLiteral("文件未能保存：") + Q(target) +
                          QStringLiteral("\n原因：文件或文件夹不存在 (ENOENT)\n磁盘上的文件未被改动。"));
  EXPECT_EQ(BoxFlags[0], kBoxError);
  EXPECT_EQ(Status(), QStringLiteral("保存失败！"));
  EXPECT_EQ(editor->FileName, Dir.File("s.casm"));
  EXPECT_EQ(editor->windowTitle(), Q(Dir.File("s.casm")));
  EXPECT_TRUE(editor->IsModified());
}

// A failed save says what is on the disk: the file as it was only where nothing
// changed; otherwise that it may be changed and where its whole old text is kept (a
// disk failing at the moment is the shim's). Where no copy of the old text could be
// kept, the source is left alone, and the box says where it tried and what still works.
TEST_F(TFrameSaveTest, AFailedSaveSaysWhatIsOnTheDisk) {
  const TStateHome home(Dir.File("state"));
  WriteBytes(Dir.File("s.casm"), kOldSource);
  std::filesystem::create_hard_link(Dir.File("s.casm"), Dir.File("s2.casm"));
  WriteGoodSources(Dir);
  const std::string project = Dir.Write("p.tvxPrj", "a.casm\r\n");
  const struct {
    const char* Failing;  // the write, and putting the old bytes back
    std::function<void()> Save;
    std::string Path, Old;  // the file named, and the old bytes kept
  } cases[] = {
      {"pwrite:2:2", [&] { OpenAndType(Dir.File("s.casm"), kNewText); Frame->MnuSaveClick(); }, Dir.File("s.casm"),
       kOldSource},
      {"link:2:2",
       [&] {
         Dialogs->Answers = {Q(Dir.File("b.casm")), Q(project)};
         Frame->MnuAddFileClick();
         Frame->MnuSaveProjectClick();
       },
       Dir.File("p.tvxPrj.set"), "a.casm\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Failing);
    Boxes.clear();
    {
      const TFailingCalls failing(c.Failing);
      c.Save();
    }
    const QString head = QStringLiteral("文件未能保存：") + Q(c.Path) +
                         QStringLiteral("\n原因：输入输出错误 (EIO)\n磁盘上的文件可能已被改动，原内容完整保存在：");
    ASSERT_EQ(Boxes.size(), 1);
    ASSERT_TRUE(Boxes[0].startsWith(head)) << Boxes[0].toStdString();
    EXPECT_EQ(ReadBytes(Boxes[0].mid(head.size()).toStdString()), c.Old);
  }

  // Every place for the copy read-only.
  const TFullDisk readOnly("/var/tmp", MS_RDONLY);
  if (!readOnly.Ready) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
  const TStateHome state("/var/tmp/state");
  const std::string user = std::to_string(::geteuid());
  const char* ownHome = ::getenv("HOME");
  const std::string oldHome = ownHome != nullptr ? ownHome : "/";
  ::setenv("HOME", "/var/tmp", 1);
  Boxes.clear();
  OpenAndType(Dir.File("s.casm"), kNewText);
  Frame->MnuSaveClick();
  ::setenv("HOME", oldHome.c_str(), 1);
  ASSERT_EQ(Boxes.size(), 1);
  EXPECT_EQ(Boxes[0], QStringLiteral("文件未能保存：") + Q(Dir.File("s.casm")) +
                          QStringLiteral("\n原因：无法先备份文件的原内容\n试过的备份位置：/var/tmp/state/talvo、"
                                         "/var/tmp/.local/state/talvo、/var/tmp/talvo-") +
                          Q(user) + QStringLiteral("、/var/tmp/talvo-") + Q(user) +
                          QStringLiteral("-XXXXXX\n可以用“另存为”保存到其他文件夹。\n磁盘上的文件未被改动。"));
}

TEST_F(TFrameSaveTest, AFifoIsRefusedInsteadOfWaitedFor) {
  ASSERT_EQ(::mkfifo(Dir.File("pipe.casm").c_str(), 0600), 0);
  Dialogs->Answers = {Q(Dir.File("pipe.casm"))};
  Frame->MnuOpenClick();
  QApplication::processEvents();
  EXPECT_TRUE(Frame->Editors().isEmpty());
  ASSERT_EQ(Boxes.size(), 1);
  EXPECT_TRUE(Boxes[0].endsWith(QStringLiteral("原因：不是普通文件 (ENOTREG)"))) << Boxes[0].toStdString();
  EXPECT_THROW(Frame->Project.LoadFromFile(Dir.File("pipe.casm")), std::runtime_error);
}

TEST_F(TFrameSaveTest, ACancelledQuitSavesAndDropsNothing) {
  WriteBytes(Dir.File("a.casm"), kOldSource);
  WriteBytes(Dir.File("b.casm"), kOldSource);
  TFrmCode* first = OpenAndType(Dir.File("a.casm"), kNewText);
  TFrmCode* second = OpenAndType(Dir.File("b.casm"), kNewText);
  BoxAnswers = {kIdNo, kIdCancel};
  EXPECT_FALSE(Frame->close());
  BoxAnswers = {kIdYes, kIdCancel};
  EXPECT_FALSE(Frame->close());
  EXPECT_EQ(Boxes.size(), 4);
  EXPECT_EQ(ReadBytes(Dir.File("a.casm")), kOldSource);
  EXPECT_TRUE(first->IsModified());
  EXPECT_TRUE(second->IsModified());

  // Closing the first editor later still asks about its text.
  BoxAnswer = kIdCancel;
  first->parentWidget()->close();
  QApplication::processEvents();
  EXPECT_EQ(Boxes.size(), 5);
  EXPECT_EQ(Frame->Editors().size(), 2);

  // A Cancel about the project, asked last, still saves no editor.
  Dialogs->Answers = {QStringLiteral("x.casm")};
  Frame->MnuAddFileClick();
  BoxAnswers = {kIdYes, kIdYes, kIdCancel};
  EXPECT_FALSE(Frame->close());
  EXPECT_EQ(ReadBytes(Dir.File("a.casm")), kOldSource);

  BoxAnswers = {kIdYes, kIdNo, kIdNo};
  EXPECT_TRUE(Frame->close());
  EXPECT_EQ(ReadBytes(Dir.File("a.casm")), kNewSource);
  EXPECT_EQ(ReadBytes(Dir.File("b.casm")), kOldSource);
}

TEST_F(TFrameSaveTest, AFailedProjectSaveKeepsTheNameItHad) {
  WriteGoodSources(Dir);
  Dialogs->Answers = {Q(Dir.File("a.casm")), Q(Dir.File("none/p.tvxPrj"))};
  Frame->MnuAddFileClick();
  Frame->MnuSaveProjectClick();
  ASSERT_EQ(Boxes.size(), 1);
  EXPECT_EQ(Boxes[0], NotSaved(Dir.File("none/p.tvxPrj"), QStringLiteral("文件或文件夹不存在 (ENOENT)")));
  EXPECT_EQ(BoxFlags[0], kBoxError);
  EXPECT_EQ(Status(), QStringLiteral("保存失败！"));
  EXPECT_TRUE(Frame->Project.FileName.empty());

  // F9 asks for a name again instead of building under the failed one.
  Frame->MnuBuildClick();
  EXPECT_EQ(Boxes.last(), QStringLiteral("请先为项目指定一个项目文件名！"));
  EXPECT_FALSE(Exists(Dir.File("a.qobj")));

  // The options file counts too: a folder in its place fails the save.
  std::filesystem::create_directory(Dir.File("p.tvxPrj.set"));
  Frame->Project.FileName = Dir.File("kept.tvxPrj");
  Dialogs->Answers = {Q(Dir.File("p.tvxPrj"))};
  Frame->MnuSaveAsProjectClick();
  EXPECT_TRUE(Boxes.last().startsWith(QStringLiteral("文件未能保存：") + Q(Dir.File("p.tvxPrj.set"))))
      << Boxes.last().toStdString();
  EXPECT_EQ(Frame->Project.FileName, Dir.File("kept.tvxPrj"));
  EXPECT_EQ(Status(), QStringLiteral("保存失败！"));
  // The project file goes with its options file, or not at all.
  EXPECT_FALSE(Exists(Dir.File("p.tvxPrj")));
}

TEST_F(TFrameSaveTest, EntriesThatAreNotGbkGoBackToTheFileAsTheyWereRead) {
  const std::string odd = "\x81\x30z\xff.casm";  // no GBK text
  WriteBytes(Dir.File("p.tvxPrj"), "a.casm\r\n" + odd + "\r\nb.casm\r\n");
  Dialogs->Answers = {Q(Dir.File("p.tvxPrj"))};
  Frame->MnuOpenProjectClick();
  Frame->LstPFiles->setCurrentRow(0);
  Frame->MnuBringNextClick();
  EXPECT_EQ(Frame->Project.AllFiles(), (std::vector<std::string>{odd, "a.casm", "b.casm"}));
  QTimer::singleShot(0, Frame->FrmProject, &QDialog::accept);
  Frame->MnuFileListClick();
  Frame->MnuSaveProjectClick();
  EXPECT_EQ(ReadBytes(Dir.File("p.tvxPrj")), odd + "\r\na.casm\r\nb.casm\r\n");
  EXPECT_TRUE(Boxes.isEmpty());
}

// Every save of a file the user typed reaches the disk before it counts as saved: the
// file, and the folder that names it (a new name, or a swap with the old file); a file
// written in place (it has a second name) is forced there itself.
TEST_F(TFrameSaveTest, EverySaveReachesTheDisk) {
  // The old bytes of the file written in place are kept in the test's folder.
  const std::string state = Dir.File("state");
  const TStateHome home(state);
  for (const char* name : {"s.casm", "linked.casm"}) WriteBytes(Dir.File(name), kOldSource);
  std::filesystem::create_hard_link(Dir.File("linked.casm"), Dir.File("linked2.casm"));
  struct TCase {
    std::function<void()> Save;
    std::vector<std::string> Files;
    bool InPlace = false;
  };
  const auto saveChanged = [&](const char* name) {
    OpenAndType(Dir.File(name), kNewText);
    Frame->MnuSaveClick();
  };
  const TCase cases[] = {
      {[&] { saveChanged("s.casm"); }, {"s.casm"}},
      {[&] { saveChanged("linked.casm"); }, {"linked.casm"}, true},
      {[&] {
         Dialogs->Answers = {Q(Dir.File("s.casm")), Q(Dir.File("p.tvxPrj"))};
         Frame->MnuAddFileClick();
         Frame->MnuSaveProjectClick();
       },
       {"p.tvxPrj", "p.tvxPrj.set"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Files[0]);
    TalvoShimForgetSyncs();
    c.Save();
    EXPECT_TRUE(Boxes.isEmpty()) << Boxes.join('\n').toStdString();
    for (const std::string& file : c.Files) EXPECT_TRUE(WasSynced(Dir.File(file))) << file;
    EXPECT_EQ(WasSynced(Dir.Path.string()), !c.InPlace);
  }
  EXPECT_TRUE(std::filesystem::is_empty(state + "/talvo"));
}
