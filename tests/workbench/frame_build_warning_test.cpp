// F9 tells in the "系统信息" pane of a label no source defines, while the build goes on.
// (An output that would land on an include: kelmoc's tests, through the same driver.)

#include "frame_fixture.h"

TEST_F(TFrameTest, TheBuildTellsOfAnUndefinedLabel) {
  WriteBytes(Dir.File("a.casm"), "LD R1 OFFSET nowhere\r\nRET\r\n");
  Frame->Project.FileName = Dir.File("p.tvxPrj");
  Frame->Project.SetFiles({"a.casm"});
  Frame->WMHotKey(4);
  EXPECT_EQ(Pane(), QStringLiteral("正在编译...\n警告：标号 nowhere 未定义（") + Q(Dir.File("a.casm")) +
                        QStringLiteral("）\n正常编译通过！"));
  EXPECT_EQ(Status(), QStringLiteral("编译通过"));
  EXPECT_TRUE(Exists(Dir.File("p.tvxbin")));
  EXPECT_TRUE(Boxes.isEmpty()) << Boxes.join('\n').toStdString();
}
