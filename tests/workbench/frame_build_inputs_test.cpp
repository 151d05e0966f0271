// What F9 tells in the "系统信息" pane about the files a build reads: an output that
// would land on an include refuses the build before anything is written, and a label
// no source defines is told while the build goes on.

#include "frame_fixture.h"

TEST_F(TFrameTest, TheBuildTellsWhatTheSourcesRead) {
  struct TCase {
    std::vector<std::pair<std::string, std::string>> Files;  // the first is the project's one source
    bool Refused;                                           // nothing may be written
    QString Pane;                                           // with DIR/ for the scratch folder
    QString Status;
  };
  const TCase cases[] = {
      {{{"a.casm", "INC \"a.hex\"\r\nRET\r\n"}, {"a.hex", "X = 5\r\n"}}, true,
       QStringLiteral("正在编译...\n错误：输出文件会覆盖源文件 DIR/a.hex\n发现错误，请调试..."),
       QStringLiteral("一般编译错误")},
      {{{"a.casm", "LD R1 OFFSET nowhere\r\nRET\r\n"}}, false,
       QStringLiteral("正在编译...\n警告：标号 nowhere 未定义（DIR/a.casm）\n正常编译通过！"), QStringLiteral("编译通过")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Files[0].second);
    TScratchFolder dir;
    dir.Write(c.Files);
    Frame->Project.FileName = dir.File("p.tvxPrj");
    Frame->Project.SetFiles({c.Files[0].first});
    const auto before = FilesUnder(dir.Path);
    Frame->WMHotKey(4);
    EXPECT_EQ(Pane(), QString(c.Pane).replace(QStringLiteral("DIR"), Q(dir.Path.string())));
    EXPECT_EQ(Status(), c.Status);
    if (c.Refused) {
      EXPECT_EQ(FilesUnder(dir.Path), before);
    }
  }
  EXPECT_TRUE(Boxes.isEmpty()) << Boxes.join('\n').toStdString();
}
