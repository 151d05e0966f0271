#include <sys/stat.h>

#include <filesystem>

#include "frame_fixture.h"
#include "../common/eventually.h"
#include "../common/stored_name.h"
#include "platform/shell_open.h"

namespace {

QStringList Items(QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

}  // namespace

TEST_F(TFrameTest, BuildOfATwoSourceProjectWritesImageListingAndBin) {
  WriteGoodSources(Dir);
  Dialogs->Answers = {Q(Dir.File("a.casm")), Q(Dir.File("b.casm")), Q(Dir.File("p.tvxPrj"))};
  Frame->MnuAddFileClick();
  Frame->MnuAddFileClick();
  Frame->MnuSaveProjectClick();
  EXPECT_EQ(ReadBytes(Dir.File("p.tvxPrj")),
            StoredName(Dir.File("a.casm")) + "\r\n" + StoredName(Dir.File("b.casm")) + "\r\n");
  EXPECT_EQ(Status(), QStringLiteral("保存完毕！"));
  Frame->WMHotKey(4);
  EXPECT_EQ(Pane(), QStringLiteral("正在编译...\n正常编译通过！"));
  EXPECT_EQ(Status(), QStringLiteral("编译通过"));
  for (const char* name : {"p.tvxbin", "p.lst", "p.Bin", "a.lst", "a.hex", "b.tvxbin"})
    EXPECT_TRUE(Exists(Dir.File(name))) << name;
}

TEST_F(TFrameTest, BuildFailuresAreReportedAndAnEmptyBuildShowsNoOldText) {
  WriteBytes(Dir.File("bad.casm"), "NOSUCHOP R1\r\n");
  Frame->Project.FileName = Dir.File("p.tvxPrj");
  Frame->Project.SetFiles({StoredName(Dir.File("bad.casm"))});
  Frame->MnuBuildClick();
  EXPECT_TRUE(Pane().startsWith(QStringLiteral("正在编译...\n")));
  EXPECT_TRUE(Pane().endsWith(QStringLiteral("\n发现错误，请调试...")));
  EXPECT_GE(Pane().count(QLatin1Char('\n')), 2);  // the driver's text in between
  EXPECT_EQ(Status(), QStringLiteral("一般编译错误"));

  WriteGoodSources(Dir);
  Frame->Project.FileName = Dir.File("none/p.tvxPrj");
  Frame->Project.SetFiles({StoredName(Dir.File("a.casm")), StoredName(Dir.File("b.casm"))});
  Frame->MnuBuildClick();
  EXPECT_TRUE(Pane().endsWith(QStringLiteral("链接器链接错误，可能是没生成qobj文件或没有找到定义的标号...")));
  EXPECT_EQ(Status(), QStringLiteral("链接器错误"));

  Frame->Project.SetFiles({});
  Frame->MnuBuildClick();
  EXPECT_EQ(Boxes.last(), QStringLiteral("没发现需要编译的文件！\n请自行在项目文件中添加后重新执行编译命令！"));
  EXPECT_EQ(Pane(), QStringLiteral("正在编译...\n\n编译器一般性错误！"));
  EXPECT_EQ(Status(), QStringLiteral("其它错误"));
}

TEST_F(TFrameTest, BuildWithoutAProjectNameAsksAndDoesNotBuildWithoutOne) {
  WriteGoodSources(Dir);
  Frame->Project.SetFiles({StoredName(Dir.File("a.casm")), StoredName(Dir.File("b.casm"))});
  Frame->MnuBuildClick();  // open and save-as both cancelled
  EXPECT_EQ(Boxes.last(), QStringLiteral("请先为项目指定一个项目文件名！"));
  EXPECT_FALSE(Exists(Dir.File("a.qobj")));
  Dialogs->Answers = {QString(), Q(Dir.File("named.tvxPrj"))};
  Frame->MnuBuildClick();
  EXPECT_EQ(Status(), QStringLiteral("编译通过"));
  EXPECT_TRUE(Exists(Dir.File("named.tvxbin")));
}

TEST_F(TFrameTest, ListMovesSyncTheProjectAndNeedASelection) {
  Frame->Project.SetFiles({"a", "b", "c"});
  Frame->MnuSaveAsProjectClick();  // cancelled
  Dialogs->Answers = {Q(Dir.File("p.tvxPrj"))};
  Frame->MnuSaveAsProjectClick();
  Frame->ShowStatus(0, QStringLiteral("x"));
  Frame->LstPFiles->clearSelection();
  Frame->MnuTopClick();
  EXPECT_EQ(Status(), QStringLiteral("x"));
  Frame->LstPFiles->setCurrentRow(0);
  Frame->MnuBringNextClick();
  EXPECT_EQ(Items(Frame->LstPFiles), (QStringList{"b", "a", "c"}));
  EXPECT_EQ(Frame->Project.AllFiles(), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_EQ(Status(), QStringLiteral("置后"));
  Frame->LstPFiles->setCurrentRow(2);
  Frame->MnuBringNextClick();
  EXPECT_EQ(Items(Frame->LstPFiles), (QStringList{"b", "a", "c"}));
  Frame->MnuTopClick();
  EXPECT_EQ(Frame->Project.AllFiles(), (std::vector<std::string>{"c", "b", "a"}));
  Frame->LstPFiles->setCurrentRow(1);
  Frame->MnuRemoveFileClick();
  EXPECT_EQ(Frame->Project.AllFiles(), (std::vector<std::string>{"c", "a"}));
}

TEST_F(TFrameTest, ADoubleClickedEntryOpensTheFileTheBuildTakes) {
  // A relative entry lies beside the project file, not in the current folder; an
  // entry that is not valid GBK (here a name in UTF-8) names the file by its own bytes.
  const std::string odd = "\xe5\xad\xa6.casm";
  std::filesystem::create_directory(Dir.File("proj"));
  WriteBytes(Dir.File("proj/a.casm"), "LD R1 5\r\n");
  WriteBytes(Dir.File("proj/" + odd), "LD R2 6\r\n");
  WriteBytes(Dir.File("proj/p.tvxPrj"), "a.casm\r\n" + odd + "\r\n");
  Dialogs->Answers = {Q(Dir.File("proj/p.tvxPrj"))};
  Frame->MnuOpenProjectClick();
  ASSERT_EQ(Frame->LstPFiles->count(), 2);
  for (int row = 0; row < 2; ++row) {
    Frame->LstPFiles->setCurrentRow(row);
    Frame->LstPFilesDblClick();
  }
  ASSERT_EQ(Frame->Editors().size(), 2);
  QStringList opened;
  for (const TFrmCode* editor : Frame->Editors()) opened << editor->Memo->toPlainText();
  opened.sort();
  EXPECT_EQ(opened, (QStringList{"LD R1 5\n", "LD R2 6\n"}));
}

TEST_F(TFrameTest, PopUpAddKeepsListAndFilesInOneOrder) {
  Dialogs->Answers = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("a")};
  for (int i = 0; i < 4; ++i) Frame->MnuAddFileClick();  // a second "a" is allowed here
  EXPECT_EQ(Frame->Project.AllFiles(), (std::vector<std::string>{"a", "b", "x", "a"}));
}

TEST_F(TFrameTest, SavingAnEmptyProjectSaysNothingWasWritten) {
  Dialogs->Answers = {Q(Dir.File("p.tvxPrj"))};
  Frame->MnuSaveProjectClick();
  EXPECT_FALSE(Exists(Dir.File("p.tvxPrj")));
  EXPECT_EQ(Status(), QStringLiteral("项目中没有文件，未保存！"));
}

TEST_F(TFrameTest, NewAndOpenProjectProtectTheCurrentProject) {
  Frame->Project.FileName = "old.tvxPrj";
  Frame->Project.SetFiles({"a"});
  Frame->Project.MakeHex = 0;
  BoxAnswer = kIdNo;
  Frame->MnuNewProjectClick();
  EXPECT_EQ(Frame->Project.FileName, "old.tvxPrj");
  BoxAnswer = kIdYes;
  Frame->MnuNewProjectClick();
  EXPECT_TRUE(Frame->Project.FileName.empty());
  EXPECT_TRUE(Frame->Project.AllFiles().empty());
  EXPECT_EQ(Frame->Project.MakeHex, 0);
  EXPECT_EQ(Status(), QStringLiteral("新建项目"));

  // A modified project: Cancel stops the new project.
  Dialogs->Answers = {QStringLiteral("x")};
  Frame->MnuAddFileClick();
  BoxAnswer = kIdCancel;
  Frame->MnuNewProjectClick();
  EXPECT_EQ(Frame->Project.AllFiles(), (std::vector<std::string>{"x"}));

  // A project file that cannot be read keeps the project and its name.
  BoxAnswer = kIdNo;
  Frame->Project.FileName = "kept.tvxPrj";
  Dialogs->Answers = {Q(Dir.File("missing.tvxPrj"))};
  EXPECT_THROW(Frame->MnuOpenProjectClick(), std::runtime_error);
  EXPECT_EQ(Frame->Project.FileName, "kept.tvxPrj");
  EXPECT_EQ(Frame->Project.AllFiles(), (std::vector<std::string>{"x"}));
}

// A project file that lists nothing is no project to save under its name: the open
// project stays whole, name included.
TEST_F(TFrameTest, AnEmptyProjectFileLeavesTheOpenProjectWhole) {
  Dir.Write({{"A/p.tvxPrj", "a.casm\r\n"}, {"A/a.casm", "LD R1 1\r\n"}, {"B/a.casm", "LD R1 2\r\n"}, {"B/e.tvxPrj", ""}});
  Dialogs->Answers = {Q(Dir.File("A/p.tvxPrj")), Q(Dir.File("B/e.tvxPrj"))};
  Frame->MnuOpenProjectClick();
  Frame->ShowStatus(0, QStringLiteral("就绪"));
  Frame->MnuOpenProjectClick();
  EXPECT_EQ(Boxes, QStringList{QStringLiteral("项目文件中没有任何源文件，未打开：") + Q(Dir.File("B/e.tvxPrj"))});
  EXPECT_EQ(BoxFlags, std::vector<int>{kBoxWarning});
  EXPECT_EQ(Status(), QStringLiteral("就绪"));
  EXPECT_EQ(Frame->Project.FileName, Dir.File("A/p.tvxPrj"));
  EXPECT_EQ(Items(Frame->LstPFiles), QStringList{QStringLiteral("a.casm")});
  Frame->MnuSaveProjectClick();
  EXPECT_EQ(ReadBytes(Dir.File("B/e.tvxPrj")), "");
  EXPECT_EQ(ReadBytes(Dir.File("A/p.tvxPrj")), "a.casm\r\n");
}

TEST_F(TFrameTest, LauncherNamesTheMissingFile) {
  Frame->Launch(10);
  ASSERT_EQ(Boxes.size(), 1);
  EXPECT_EQ(Boxes[0], QStringLiteral("没找到以下文件：") + QCoreApplication::applicationDirPath() +
                          QStringLiteral("/TALVOSim"));
  EXPECT_EQ(BoxFlags[0], 0x30);
}

// A program the workbench starts runs in the workbench's current folder, where the
// user's relative names (the simulator's settings, its images) lie, not in the folder
// the program is found in.
TEST(Launcher, StartsAProgramInTheCurrentFolder) {
  TestApplication();
  TScratchFolder dir;
  // Named whole only once the program has written it.
  dir.Write({{"bin/TALVOSim", "#!/bin/sh\npwd -P > \"$0.part\" && mv \"$0.part\" \"$0.where\"\n"}, {"work/x", ""}});
  const std::string program = dir.File("bin/TALVOSim");
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  const TCurrentFolder inWork(dir.File("work"));
  ASSERT_TRUE(ShellOpen(program));
  ASSERT_TRUE(Eventually([&] { return Exists(program + ".where"); }));
  EXPECT_EQ(ReadBytes(program + ".where"), std::filesystem::canonical(dir.File("work")).string() + "\n");
}
