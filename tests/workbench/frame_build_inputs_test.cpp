// What F9 and Ctrl+F9 tell in the "系统信息" pane about the files a build reads: an
// output that would land on an include refuses the build before anything is written,
// and a label no source defines is told while the build goes on.

#include <functional>

#include "frame_fixture.h"

TEST_F(TFrameTest, TheBuildCommandsTellWhatTheSourcesRead) {
  const auto build = [this] { Frame->WMHotKey(4); };
  const auto compile = [this] { Frame->WMHotKey(2); };
  struct TCase {
    std::vector<std::pair<std::string, std::string>> Files;  // the first is the project's one source
    std::function<void()> Act;
    bool Refused;  // nothing may be written
    QString Pane;  // with DIR/ for the scratch folder
    QString Status;
  };
  const TCase cases[] = {
      {{{"a.casm", "INC \"a.hex\"\r\nRET\r\n"}, {"a.hex", "X = 5\r\n"}}, build, true,
       QStringLiteral("正在编译...\n错误：输出文件会覆盖源文件 DIR/a.hex\n发现错误，请调试..."),
       QStringLiteral("一般编译错误")},
      {{{"a.casm", "INC \"a.qobj\"\r\nRET\r\n"}, {"a.qobj", "X = 5\r\n"}}, compile, true,
       QStringLiteral("正在编译...\n错误信息：\n错误：输出文件会覆盖源文件 DIR/a.qobj\n编译失败！"), QStringLiteral("x")},
      {{{"a.casm", "LD R1 OFFSET nowhere\r\nRET\r\n"}}, build, false,
       QStringLiteral("正在编译...\n警告：标号 nowhere 未定义（DIR/a.casm）\n正常编译通过！"), QStringLiteral("编译通过")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Files[0].second);
    TScratchFolder dir;
    dir.Write(c.Files);
    Frame->Project.FileName = dir.File("p.tvxPrj");
    Frame->Project.SetFiles({c.Files[0].first});
    Dialogs->Answers = {Q(dir.File(c.Files[0].first))};
    Frame->MnuOpenClick();
    Frame->ShowStatus(0, QStringLiteral("x"));
    const auto before = FilesUnder(dir.Path);
    c.Act();
    EXPECT_EQ(Pane(), QString(c.Pane).replace(QStringLiteral("DIR"), Q(dir.Path.string())));
    EXPECT_EQ(Status(), c.Status);
    if (c.Refused) {
      EXPECT_EQ(FilesUnder(dir.Path), before);
    }
    for (TFrmCode* editor : Frame->Editors()) editor->parentWidget()->close();
  }
  EXPECT_TRUE(Boxes.isEmpty()) << Boxes.join('\n').toStdString();
}
