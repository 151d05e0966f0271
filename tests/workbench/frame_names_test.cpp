// File-system names in the workbench: a project in a folder GBK cannot name opens,
// saves and builds; a message about such a path shows it as it is; an entry that is
// no text at all opens the file the build takes; a character GBK cannot hold is never
// saved away; and a project saved in another folder builds what it built.

#include <QPrinter>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "frame_fixture.h"

namespace {

namespace fs = std::filesystem;

const QString kNotGbkName = QStringLiteral("文件名中含有不能用GBK编码表示的字符：");

}  // namespace

TEST_F(TFrameTest, MessagesShowAPathGbkCannotHoldAsItIs) {
  const std::string folder = Dir.File("😀");
  const std::string missing = folder + "/none/";
  fs::create_directory(folder);
  Frame->MnuNewClick();
  const struct {
    std::function<void()> Act;
    QString Box;
  } cases[] = {
      {[&] {
         Dialogs->Answers = {Q(missing + "t.casm")};
         Frame->MnuSaveAsClick();
       },
       QStringLiteral("文件未能保存：") + Q(missing) +
           QStringLiteral("t.casm\n原因：文件或文件夹不存在 (ENOENT)\n磁盘上的文件未被改动。")},
      {[&] {
         Dialogs->PrintAnswer = [&](QPrinter& printer) {
           printer.setOutputFormat(QPrinter::PdfFormat);
           printer.setOutputFileName(Q(missing + "out.pdf"));
           return true;
         };
         Frame->MnuPrintClick();
       },
       QStringLiteral("未能打印到文件：") + Q(missing) +
           QStringLiteral("out.pdf\n原因：文件或文件夹不存在 (ENOENT)\n磁盘上的文件未被改动。")},
      {[&] {
         Dialogs->Answers = {Q(folder + "/a.casm")};
         Frame->MnuAddFileClick();
       },
       kNotGbkName + Q(folder + "/a.casm")},
      {[&] {
         Frame->Project.SetFiles({"a.casm"});
         Dialogs->Answers = {Q(missing + "p.tvxPrj")};
         Frame->MnuSaveAsProjectClick();
       },
       NotSaved(missing + "p.tvxPrj", QStringLiteral("文件或文件夹不存在 (ENOENT)"))},
  };
  for (const auto& c : cases) {
    Boxes.clear();
    c.Act();
    EXPECT_EQ(Boxes, QStringList{c.Box});
  }

  // The toolchain's messages in the pane.
  WriteBytes(folder + "/a.casm", "RET\r\n");
  fs::create_directory(folder + "/a.hex");
  Frame->Project.FileName = folder + "/p.tvxPrj";
  Frame->Project.SetFiles({"a.casm"});
  Frame->MnuBuildClick();
  EXPECT_EQ(Pane(), QStringLiteral("正在编译...\n错误：无法写入文件 ") + Q(folder) +
                        QStringLiteral("/a.hex：不是普通文件 (EISDIR)\n发现错误，请调试..."));
}

TEST_F(TFrameTest, AProjectInAFolderGbkCannotNameOpensSavesAndBuilds) {
  const std::string folder = Dir.File("Straße");
  fs::create_directory(folder);
  WriteBytes(folder + "/a.casm", "RET\r\n");
  WriteBytes(folder + "/p.tvxPrj", "a.casm\r\n");
  Dialogs->Answers = {Q(folder + "/p.tvxPrj")};
  Frame->MnuOpenProjectClick();
  EXPECT_EQ(Frame->Project.FileName, folder + "/p.tvxPrj");
  Frame->MnuBuildClick();
  EXPECT_EQ(Pane(), QStringLiteral("正在编译...\n正常编译通过！"));

  // A project file name GBK cannot hold is no entry of any file: it is taken.
  Dialogs->Answers = {Q(folder + "/😀.tvxPrj")};
  Frame->MnuSaveAsProjectClick();
  EXPECT_EQ(Status(), QStringLiteral("项目另存"));
  EXPECT_EQ(ReadBytes(folder + "/😀.tvxPrj"), "a.casm\r\n");
  Frame->MnuBuildClick();
  EXPECT_TRUE(Exists(folder + "/😀.Bin"));
  QString caption;
  QTimer::singleShot(0, Frame->FrmProject, [&] {
    caption = Frame->FrmProject->windowTitle();
    Frame->FrmProject->reject();
  });
  Frame->MnuFileListClick();
  EXPECT_EQ(caption, QStringLiteral("项目文件--") + Q(folder + "/😀.tvxPrj"));
  EXPECT_TRUE(Boxes.isEmpty()) << Boxes.join('|').toStdString();
}

TEST_F(TFrameTest, AnEntryThatIsNoTextOpensTheFileTheBuildTakes) {
  const std::string odd = "x\xffy.casm";  // neither GBK nor UTF-8
  fs::create_directory(Dir.File("proj"));
  WriteBytes(Dir.File("proj/" + odd), "RET\r\n");
  WriteBytes(Dir.File("proj/p.tvxPrj"), odd + "\r\n");
  Dialogs->Answers = {Q(Dir.File("proj/p.tvxPrj"))};
  Frame->MnuOpenProjectClick();
  EXPECT_EQ(Frame->LstPFiles->item(0)->text(), QStringLiteral("x\uFFFDy.casm"));
  Frame->MnuBuildClick();
  EXPECT_EQ(Pane(), QStringLiteral("正在编译...\n正常编译通过！"));
  Frame->LstPFiles->setCurrentRow(0);
  Frame->LstPFilesDblClick();
  ASSERT_EQ(Frame->Editors().size(), 1);
  EXPECT_EQ(Frame->ActiveEditor()->Memo->toPlainText(), QStringLiteral("RET\n"));
  EXPECT_EQ(Frame->ActiveEditor()->FileName, Dir.File("proj/" + odd));
  EXPECT_TRUE(Boxes.isEmpty()) << Boxes.join('|').toStdString();

  // Gone from the disk: the box names the entry legibly and no editor opens.
  Frame->MdiArea->closeAllSubWindows();
  QApplication::processEvents();
  fs::remove(Dir.File("proj/" + odd));
  Frame->LstPFilesDblClick();
  EXPECT_TRUE(Frame->Editors().isEmpty());
  EXPECT_EQ(Boxes, QStringList{QStringLiteral("无法打开文件：") + Q(Dir.File("proj/")) +
                               QStringLiteral("x\uFFFDy.casm\n原因：文件或文件夹不存在 (ENOENT)")});
}

TEST_F(TFrameTest, CharactersGbkCannotHoldAreNeverSavedAway) {
  // Tag characters, which the C library's converter drops without a word, fare as
  // every other character GBK cannot hold.
  const std::string source = Dir.File("s.casm");
  for (const QString& typed : {QStringLiteral("RET\U000E0001"), QStringLiteral("RET \U000E0020\U000E007F"),
                               QStringLiteral("RET 😀")}) {
    WriteBytes(source, "NOP\r\n");
    TFrmCode* editor = OpenAndType(source, typed);
    Boxes.clear();
    Frame->MnuSaveClick();
    EXPECT_EQ(Boxes, QStringList{QStringLiteral("文本中含有不能用GBK编码表示的字符，未保存！")});
    EXPECT_EQ(Status(), QStringLiteral("保存失败！"));
    EXPECT_EQ(ReadBytes(source), "NOP\r\n");
    EXPECT_TRUE(editor->IsModified());
  }
}

TEST_F(TFrameTest, AProjectSavedInAnotherFolderBuildsWhatItBuilt) {
  fs::create_directory(Dir.File("pj"));
  fs::create_directory(Dir.File("other"));
  WriteBytes(Dir.File("pj/good.casm"), "LD R8 OFFSET sub\r\nJMP R0 R8\r\n");
  WriteBytes(Dir.File("pj/more.casm"), "sub:\r\nRET\r\n");
  WriteBytes(Dir.File("pj/pj.tvxPrj"), "good.casm\r\nmore.casm\r\n");
  Dialogs->Answers = {Q(Dir.File("pj/pj.tvxPrj")), Q(Dir.File("other/pj2.tvxPrj"))};
  Frame->MnuOpenProjectClick();
  Frame->MnuSaveAsProjectClick();
  EXPECT_EQ(ReadBytes(Dir.File("other/pj2.tvxPrj")), "../pj/good.casm\r\n../pj/more.casm\r\n");
  ASSERT_EQ(Frame->LstPFiles->count(), 2);
  EXPECT_EQ(Frame->LstPFiles->item(0)->text(), QStringLiteral("../pj/good.casm"));
  Frame->MnuBuildClick();
  EXPECT_EQ(Pane(), QStringLiteral("正在编译...\n正常编译通过！"));
  EXPECT_TRUE(Exists(Dir.File("other/pj2.Bin")));

  // Where no stored name can name an entry's file the save is refused, naming it.
  fs::create_directory(Dir.File("😀"));
  WriteBytes(Dir.File("😀/good.casm"), "RET\r\n");
  WriteBytes(Dir.File("😀/p.tvxPrj"), "good.casm\r\n");
  Dialogs->Answers = {Q(Dir.File("😀/p.tvxPrj")), Q(Dir.File("other/p.tvxPrj"))};
  Frame->MnuOpenProjectClick();
  Frame->MnuSaveAsProjectClick();
  EXPECT_EQ(Boxes, QStringList{kNotGbkName + Q(Dir.File("😀/good.casm"))});
  EXPECT_EQ(Status(), QStringLiteral("保存失败！"));
}
