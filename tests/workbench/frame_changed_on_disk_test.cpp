// A save never writes unasked over what someone else put under the editor's name
// since the editor last read or wrote it: another program, a second editor of this
// window. A No leaves both the file and the editor as they are.

#include "frame_fixture.h"

class TFrameChangedOnDiskTest : public TFrameTest {
 protected:
  static QString Question(const std::string& path) {
    return Q(path) + QStringLiteral("\n磁盘上的这个文件在打开或上次保存之后已被改动。\n是否用编辑器中的内容覆盖它？");
  }
};

// Which changes tell: the known file's own test.
TEST_F(TFrameChangedOnDiskTest, CtrlSAsksBeforeWritingOverAnotherFile) {
  const std::string others = "ADDED BY ANOTHER PROGRAM\r\n";
  // A file removed since is written anew unasked.
  for (const bool removed : {false, true}) {
    SCOPED_TRACE(removed ? "removed" : "rewritten");
    const std::string path = Dir.Write(removed ? "removed.casm" : "rewritten.casm", "LD R1 1\r\n");
    TFrmCode* editor = OpenAndType(path, QStringLiteral("EDITOR\n"));
    if (removed) std::filesystem::remove(path);
    if (!removed) WriteBytes(path, others);
    Boxes.clear();
    if (!removed) {
      BoxAnswer = kIdNo;
      Frame->ShowStatus(0, QStringLiteral("就绪"));
      Frame->MnuSaveClick();
      ASSERT_EQ(Boxes, QStringList{Question(path)});
      EXPECT_EQ(BoxFlags.back(), kBoxWarningYesNo);
      EXPECT_EQ(ReadBytes(path), others);
      EXPECT_TRUE(editor->IsModified());
      EXPECT_EQ(Status(), QStringLiteral("就绪"));
      BoxAnswer = kIdYes;
    }
    Frame->MnuSaveClick();
    EXPECT_EQ(ReadBytes(path), "EDITOR\r\n");
    // The file it wrote is the one it knows from then on.
    editor->Memo->insertPlainText(QStringLiteral("MORE\n"));
    Frame->MnuSaveClick();
    EXPECT_EQ(Boxes.size(), removed ? 0 : 2);
    EXPECT_EQ(ReadBytes(path), "EDITOR\r\nMORE\r\n");
  }
}

// Inside one window: a Save As onto the file a second, modified editor holds is not
// undone by that editor's quit or close question.
TEST_F(TFrameChangedOnDiskTest, TheQuitAndCloseQuestionsAskToo) {
  const std::string path = Dir.Write("x.casm", "");
  TFrmCode* holder = OpenAndType(path, QStringLiteral("HOLDER\n"));
  OpenAndType(Dir.Write("y.casm", ""), QStringLiteral("SAVED AS\n"));
  Dialogs->Answers = {Q(path)};
  Frame->MnuSaveAsClick();
  ASSERT_EQ(ReadBytes(path), "SAVED AS\r\n");

  // Yes to saving the holder, No to writing over the file: the quit stops there, and
  // so does the close of its window.
  Boxes.clear();
  BoxAnswers = {kIdYes, kIdNo, kIdYes, kIdNo};
  EXPECT_FALSE(Frame->close());
  holder->parentWidget()->close();
  QApplication::processEvents();
  EXPECT_EQ(Boxes.size(), 4);
  EXPECT_EQ(Boxes.value(1), Question(path));
  EXPECT_EQ(Boxes.value(3), Question(path));
  EXPECT_EQ(Frame->Editors().size(), 2);
  EXPECT_EQ(ReadBytes(path), "SAVED AS\r\n");
}
