// A save never writes unasked over what someone else put under the editor's name
// since the editor last read or wrote it: another program's save, a checkout, a
// touch, a second editor of this window. A file removed since is written anew. A No
// leaves both the file and the editor as they are.

#include <fcntl.h>
#include <sys/stat.h>

#include <functional>

#include "frame_fixture.h"
#include "workbench/model/known_file.h"

namespace {

// With a chosen modification time, so that no change depends on the clock's steps.
void WriteStamped(const std::string& path, const std::string& bytes, long nanoseconds = 500) {
  WriteBytes(path, bytes);
  const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(KnownFile, TellsAnotherFileUnderTheName) {
  const std::string old = "LD R1 1\r\n";
  const struct {
    const char* Name;
    bool ThereWhenRemembered;
    std::function<void(const std::string& path)> Change;
    bool Changed;
  } cases[] = {
      {"untouched", true, [](auto&) {}, false},
      {"rewritten in place at the same time", true, [](auto& path) { WriteStamped(path, "LD R1 1\r\nADDED\r\n"); }, true},
      {"touched a nanosecond later", true, [&](auto& path) { WriteStamped(path, old, 501); }, true},
      {"replaced by the same bytes at the same time", true,
       [&](auto& path) {
         WriteStamped(path + ".new", old);
         std::filesystem::rename(path + ".new", path);
       },
       true},
      {"removed", true, [](auto& path) { std::filesystem::remove(path); }, false},
      {"made where none was", false, [](auto& path) { WriteStamped(path, "x"); }, true},
      {"still none", false, [](auto&) {}, false},
  };
  TScratchFolder dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = dir.File(c.Name);
    if (c.ThereWhenRemembered) WriteStamped(path, old);
    TKnownFile known;
    known.Remember(path);
    c.Change(path);
    EXPECT_EQ(known.ChangedOnDisk(path), c.Changed);
  }
}

QString Question(const std::string& path) {
  return QString::fromStdString(path) +
         QStringLiteral("\n磁盘上的这个文件在打开或上次保存之后已被改动。\n是否用编辑器中的内容覆盖它？");
}

}  // namespace

using TFrameChangedOnDiskTest = TFrameTest;

TEST_F(TFrameChangedOnDiskTest, CtrlSAsksBeforeWritingOverAnotherFile) {
  const std::string path = Dir.Write("s.casm", "LD R1 1\r\n"), others = "ADDED BY ANOTHER PROGRAM\r\n";
  TFrmCode* editor = OpenAndType(path, QStringLiteral("EDITOR\n"));
  WriteBytes(path, others);
  BoxAnswer = kIdNo;
  Frame->ShowStatus(0, QStringLiteral("就绪"));
  Frame->MnuSaveClick();
  ASSERT_EQ(Boxes, QStringList{Question(path)});
  EXPECT_EQ(BoxFlags.back(), kBoxWarningYesNo);
  EXPECT_EQ(ReadBytes(path), others);
  EXPECT_TRUE(editor->IsModified());
  EXPECT_EQ(Status(), QStringLiteral("就绪"));
  BoxAnswer = kIdYes;
  Frame->MnuSaveClick();
  EXPECT_EQ(ReadBytes(path), "EDITOR\r\n");
  // The file it wrote is the one it knows from then on.
  editor->Memo->insertPlainText(QStringLiteral("MORE\n"));
  Frame->MnuSaveClick();
  EXPECT_EQ(Boxes.size(), 2);
  EXPECT_EQ(ReadBytes(path), "EDITOR\r\nMORE\r\n");
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
