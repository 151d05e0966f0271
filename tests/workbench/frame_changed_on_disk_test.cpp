// A save never writes unasked over what someone else put under the editor's name
// since the editor last read or wrote it: another program, a checkout, a second
// editor of this window. A No leaves both the file and the editor as they are.

#include <cstdio>
#include <functional>

#include "frame_fixture.h"

namespace {

const std::string kOld = "LD R1 1\r\n";
const std::string kOthers = "LD R1 1\r\nADDED BY ANOTHER PROGRAM\r\n";
const QString kTyped = QStringLiteral("EDITOR\n");
const std::string kTypedBytes = "EDITOR\r\n";

}  // namespace

class TFrameChangedOnDiskTest : public TFrameTest {
 protected:
  TFrmCode* OpenAndType(const std::string& path, const QString& text = kTyped) {
    Dialogs->Answers = {Q(path)};
    Frame->MnuOpenClick();
    TFrmCode* editor = Frame->ActiveEditor();
    if (editor == nullptr) throw std::runtime_error("no editor opened " + path);
    editor->Memo->selectAll();
    editor->Memo->insertPlainText(text);
    return editor;
  }
  QString Question(const std::string& path) const {
    return Q(path) + QStringLiteral("\n磁盘上的这个文件在打开或上次保存之后已被改动。\n是否用编辑器中的内容覆盖它？");
  }
};

TEST_F(TFrameChangedOnDiskTest, CtrlSAsksBeforeWritingOverAnotherFile) {
  struct TCase {
    const char* Name;
    std::function<void(const std::string& path)> Change;
    std::string OnDisk;  // after the change
    bool Asks;
  };
  const TCase cases[] = {
      {"another program rewrites it", [](const std::string& path) { WriteBytes(path, kOthers); }, kOthers, true},
      {"a checkout puts another file in its place",
       [this](const std::string& path) {
         const std::string other = Dir.Write("checkout.tmp", kOthers);
         ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
       },
       kOthers, true},
      {"a second workbench saves it",
       [](const std::string& path) {
         auto dialogs = std::make_unique<TScriptedDialogs>();
         dialogs->Answers = {Q(path)};
         TFrmMain second(std::move(dialogs));
         second.MnuOpenClick();
         second.ActiveEditor()->Memo->setPlainText(QStringLiteral("SECOND\n"));
         second.MnuSaveClick();
       },
       "SECOND\r\n", true},
      {"another program removes it", [](const std::string& path) { std::filesystem::remove(path); }, "", false},
  };
  int number = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = Dir.Write(std::to_string(++number) + ".casm", kOld);
    TFrmCode* editor = OpenAndType(path);
    c.Change(path);
    Boxes.clear();
    BoxFlags.clear();
    Frame->ShowStatus(0, QStringLiteral("就绪"));
    ASSERT_EQ(Frame->ActiveEditor(), editor);
    if (c.Asks) {
      BoxAnswer = kIdNo;
      Frame->MnuSaveClick();
      ASSERT_EQ(Boxes, QStringList{Question(path)});
      EXPECT_EQ(BoxFlags[0], kBoxWarningYesNo);
      EXPECT_EQ(ReadBytes(path), c.OnDisk);
      EXPECT_TRUE(editor->IsModified());
      EXPECT_EQ(editor->Memo->toPlainText(), kTyped);
      EXPECT_EQ(Status(), QStringLiteral("就绪"));
      BoxAnswer = kIdYes;
      Frame->MnuSaveClick();
      EXPECT_EQ(Boxes.size(), 2);
    } else {
      Frame->MnuSaveClick();
      EXPECT_TRUE(Boxes.isEmpty()) << Boxes.join('\n').toStdString();
    }
    EXPECT_EQ(ReadBytes(path), kTypedBytes);
    EXPECT_EQ(Status(), QStringLiteral("保存完毕！"));
    EXPECT_FALSE(editor->IsModified());
    // The file it wrote is the one it knows now.
    const qsizetype asked = Boxes.size();
    editor->Memo->moveCursor(QTextCursor::End);
    editor->Memo->insertPlainText(QStringLiteral("MORE\n"));
    Frame->MnuSaveClick();
    EXPECT_EQ(Boxes.size(), asked);
    EXPECT_EQ(ReadBytes(path), "EDITOR\r\nMORE\r\n");
  }
}

// Inside one window: a Save As onto the file a second, modified editor holds is not
// undone by that editor's quit or close question.
TEST_F(TFrameChangedOnDiskTest, TheQuitAndCloseQuestionsAskToo) {
  const std::string path = Dir.Write("x.casm", kOld);
  TFrmCode* holder = OpenAndType(path, QStringLiteral("HOLDER\n"));
  TFrmCode* other = OpenAndType(Dir.Write("y.casm", kOld), QStringLiteral("SAVED AS\n"));
  Dialogs->Answers = {Q(path)};
  Frame->MnuSaveAsClick();
  ASSERT_EQ(other->FileName, path);
  ASSERT_EQ(ReadBytes(path), "SAVED AS\r\n");

  // Yes to saving the holder, No to writing over the file: the quit stops there.
  Boxes.clear();
  BoxAnswers = {kIdYes, kIdNo};
  EXPECT_FALSE(Frame->close());
  ASSERT_EQ(Boxes.size(), 2);
  EXPECT_EQ(Boxes[1], Question(path));
  EXPECT_EQ(ReadBytes(path), "SAVED AS\r\n");
  EXPECT_TRUE(holder->IsModified());

  // The close question of its window asks the same; No keeps the window.
  BoxAnswers = {kIdYes, kIdNo};
  holder->parentWidget()->close();
  QApplication::processEvents();
  EXPECT_EQ(Boxes.size(), 4);
  EXPECT_EQ(Boxes[3], Question(path));
  EXPECT_EQ(Frame->Editors().size(), 2);
  EXPECT_EQ(ReadBytes(path), "SAVED AS\r\n");

  BoxAnswers = {kIdYes, kIdYes};
  holder->parentWidget()->close();
  QApplication::processEvents();
  EXPECT_EQ(Frame->Editors().size(), 1);
  EXPECT_EQ(ReadBytes(path), "HOLDER\r\n");
}
