#include <QTest>

#include "frame_fixture.h"

TEST_F(TFrameTest, OneKeyPressRunsItsCommandOnce) {
  Frame->show();
  Frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Frame.get(), 30000));
  QTest::keyClick(Frame.get(), Qt::Key_F9);  // no project: the open dialog is cancelled
  EXPECT_EQ(Boxes, QStringList{QStringLiteral("没发现需要编译的文件！\n请自行在项目文件中添加后重新执行编译命令！")});
  QTest::keyClick(Frame.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(Boxes.last(), QStringLiteral("没找到需要保存的文件！"));
  EXPECT_EQ(Boxes.size(), 2);
}

TEST_F(TFrameTest, ClosingTheFrameAsksAboutUnsavedText) {
  Frame->MnuNewClick();
  Frame->ActiveEditor()->Memo->insertPlainText(QStringLiteral("work"));
  BoxAnswer = kIdCancel;
  EXPECT_FALSE(Frame->close());
  EXPECT_EQ(Frame->Editors().size(), 1);
  BoxAnswer = kIdNo;
  EXPECT_TRUE(Frame->close());
}
