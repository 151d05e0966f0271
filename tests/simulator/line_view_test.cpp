#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <vector>

#include "gui_app.h"
#include "machine/talvo_cpu.h"
#include "platform/gbk_qt.h"
#include "platform/message_box.h"
#include "simulator/gui/line_view.h"
#include "simulator/gui/memory_window.h"
#include "simulator/model/inspect_texts.h"
#include "simulator/model/line_source.h"

namespace {

// "line N" for every N below Count, remembering how many lines were asked for.
class CountingSource : public TLineSource {
 public:
  explicit CountingSource(int64_t count) : Count(count) {}
  int64_t LineCount() const override { return Count; }
  std::vector<std::string> Lines(int64_t first, int64_t count) const override {
    std::vector<std::string> lines;
    for (int64_t n = first; n < first + count && n < Count; ++n) lines.push_back("line " + std::to_string(n));
    Asked += count;
    return lines;
  }
  int64_t Count;
  mutable int64_t Asked = 0;
};

class LineViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view.resize(300, 200);
    view.SetSource(&source);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  void TearDown() override { SetMessageBoxHandler({}); }
  QPoint LineCentre(int inSight) const {
    return QPoint(20, inSight * view.fontMetrics().lineSpacing() + view.fontMetrics().lineSpacing() / 2);
  }

  QApplication& app = GuiApp();
  // More lines than any memory holds words.
  CountingSource source{268435456};
  TLineView view;
};

TEST_F(LineViewTest, FetchesOnlyTheLinesInSight) {
  const size_t inSight = view.ShownLines().size();
  ASSERT_GT(inSight, 2u);
  EXPECT_LT(inSight, 40u);
  source.Asked = 0;
  view.Refresh();
  EXPECT_LE(source.Asked, static_cast<int64_t>(inSight));

  // Scrolled to the end, the last line is in sight, and a refresh keeps the place.
  view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
  EXPECT_EQ(view.ShownLines().back(), "line 268435455");
  const int64_t first = view.FirstLine();
  source.Asked = 0;
  view.Refresh();
  EXPECT_EQ(view.FirstLine(), first);
  EXPECT_LE(source.Asked, static_cast<int64_t>(inSight));

  // A shorter list pulls the place back; an empty one shows nothing.
  source.Count = 3;
  view.Refresh();
  EXPECT_EQ(view.FirstLine(), 0);
  EXPECT_EQ(view.ShownLines(), (std::vector<std::string>{"line 0", "line 1", "line 2"}));
  source.Count = 0;
  view.Refresh();
  EXPECT_TRUE(view.ShownLines().empty());
}

TEST_F(LineViewTest, SelectsWholeLinesAndCopiesThem) {
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, LineCentre(2));
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, LineCentre(3));
  QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("line 2\nline 3\nline 4\n"));

  // Moving without Shift starts a new selection of one line.
  QTest::keyClick(&view, Qt::Key_Down);
  view.Copy();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("line 5\n"));

  // Too many lines for one copy: said, and the clipboard keeps what it had.
  std::vector<std::string> boxes;
  SetMessageBoxHandler([&](const QString& text, int) {
    boxes.push_back(QStringToGbk(text).value_or(text.toStdString()));
    return kIdOk;
  });
  view.SelectAll();
  source.Asked = 0;
  view.Copy();
  EXPECT_EQ(boxes, std::vector<std::string>{kTextTooManyLinesToCopy});
  EXPECT_EQ(source.Asked, 0);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("line 5\n"));
  view.SelectLines(10, 10 + TLineView::MaxCopyLines - 1);
  view.Copy();
  EXPECT_EQ(QApplication::clipboard()->text().count(QLatin1Char('\n')), TLineView::MaxCopyLines);
}

// The count that froze the window: two thousand million lines on a 64 MB machine
// list the 8 Mi words that exist, and only those in sight are ever formatted.
TEST(MemoryWindow, ListsAnyCountWithoutFormattingItAll) {
  GuiApp();
  TTALVOCPU cpu;
  cpu.SettingPath = "/nonexistent-folder/simulator_test.setting";
  cpu.MemSize = 64.0 * 1024 * 1024;
  cpu.Reset();
  cpu.Memory[cpu.MemAllocated - 1] = 0xAB;
  TFrmViewMemory window(&cpu);
  window.EditMemLen->setText(QStringLiteral("2000000000"));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.FormShow();
  TLineView* list = window.Memo;
  EXPECT_LT(list->ShownLines().size(), 100u);
  list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
  EXPECT_EQ(list->ShownLines().back(), "67108856\tAB00000000000000");
  EXPECT_EQ(list->LineCount(), 8388608);
  EXPECT_EQ(list->FirstLine() + static_cast<int64_t>(list->ShownLines().size()), 8388608);
}

}  // namespace
