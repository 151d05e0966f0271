// A save never writes unasked over what someone else put under the editor's name
// since the editor last read or wrote it: another program, a checkout, a second
// editor of this window. A No leaves both the file and the editor as they are.

#include <cstdio>
#include <functional>

#include "frame_fixture.h"

class TFrameChangedOnDiskTest : public TFrameTest {
 protected:
  TFrmCode* OpenAndType(const std::string& path, const QString& text) {
    Dialogs->Answers = {Q(path)};
    Frame->MnuOpenClick();
    TFrmCode* editor = Frame->ActiveEditor();
    if (editor == nullptr) throw std::runtime_error("no editor opened " + path);
    editor->Memo->moveCursor(QTextCursor::End);
    editor->Memo->insertPlainText(text);
    return editor;
  }
  static QString Question(const std::string& path) {
    return Q(path) + QStringLiteral("\n磁盘上的这个文件在打开或上次保存之后已被改动。\n是否用编辑器中的内容覆盖它？");
  }
};

TEST_F(TFrameChangedOnDiskTest, CtrlSAsksBeforeWritingOverAnotherFile) {
  const std::string kOthers = "LD R1 1\r\nADDED BY ANOTHER PROGRAM\r\n";
  struct TCase {
    const char* Name;
    std::function<void(const std::string& path)> Change;
    bool Asks;
  };
  const TCase cases[] = {
      {"another program rewrites it", [&](const std::string& path) { WriteBytes(path, kOthers); }, true},
      {"a checkout puts another file in its place",
       [&](const std::string& path) {
         const std::string other = Dir.Write("checkout.tmp", kOthers);
         ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
       },
       true},
      {"another program removes it", [](const std::string& path) { std::filesystem::remove(path); }, false},
  };
  int number = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = Dir.Write(std::to_string(++number) + ".casm", "LD R1 1\r\n");
    TFrmCode* editor = OpenAndType(path, QStringLiteral("EDITOR\n"));
    c.Change(path);
    Boxes.clear();
    Frame->ShowStatus(0, QStringLiteral("就绪"));
    if (c.Asks) {
      BoxAnswer = kIdNo;
      Frame->MnuSaveClick();
      ASSERT_EQ(Boxes, QStringList{Question(path)});
      EXPECT_EQ(BoxFlags.back(), kBoxWarningYesNo);
      EXPECT_EQ(ReadBytes(path), kOthers);
      EXPECT_TRUE(editor->IsModified());
      EXPECT_EQ(Status(), QStringLiteral("就绪"));
      BoxAnswer = kIdYes;
    }
    Frame->MnuSaveClick();
    EXPECT_EQ(Boxes.size(), c.Asks ? 2 : 0);
    EXPECT_EQ(ReadBytes(path), "LD R1 1\r\nEDITOR\r\n");
    EXPECT_EQ(Status(), QStringLiteral("保存完毕！"));
    // The file it wrote is the one it knows from then on.
    Boxes.clear();
    editor->Memo->insertPlainText(QStringLiteral("MORE\n"));
    Frame->MnuSaveClick();
    EXPECT_TRUE(Boxes.isEmpty());
    EXPECT_EQ(ReadBytes(path), "LD R1 1\r\nEDITOR\r\nMORE\r\n");
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
  BoxAnswers = {kIdYes, kIdNo};
  EXPECT_FALSE(Frame->close());
  BoxAnswers = {kIdYes, kIdNo};
  holder->parentWidget()->close();
  QApplication::processEvents();
  ASSERT_EQ(Boxes.size(), 4);
  EXPECT_EQ(Boxes[1], Question(path));
  EXPECT_EQ(Boxes[3], Question(path));
  EXPECT_EQ(Frame->Editors().size(), 2);
  EXPECT_EQ(ReadBytes(path), "SAVED AS\r\n");

  BoxAnswers = {kIdYes, kIdYes};
  holder->parentWidget()->close();
  QApplication::processEvents();
  EXPECT_EQ(Frame->Editors().size(), 1);
  EXPECT_EQ(ReadBytes(path), "HOLDER\r\n");
}
