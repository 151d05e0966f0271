#include <gtest/gtest.h>

#include "toolchain/convert_error.h"
#include "workbench/model/editor_search.h"
#include "workbench/model/launcher.h"
#include "workbench/model/project_list.h"

TEST(EditorSearch, FindStartsAfterTheSelectionOrAtTheTextStart) {
  const std::u16string text = u"ABC abc\nabc";
  EXPECT_EQ(FindNextPosition(text, u"abc", 5, 0), 4);  // a caret alone does not count
  EXPECT_EQ(FindNextPosition(text, u"abc", 4, 3), 8);
  EXPECT_EQ(FindNextPosition(text, u"abc", 8, 3), -1);
  EXPECT_EQ(FindNextPosition(text, u"", 0, 0), -1);
  EXPECT_EQ(FindNextPosition(text, u"abc", 1000, 5), -1);
  EXPECT_EQ(FindFirstPosition(text, u"abc"), 4);
}

TEST(EditorSearch, CaretTextInGbk) {
  // 第12行,第3列
  EXPECT_EQ(CaretText(12, 3), "\xb5\xda" "12\xd0\xd0,\xb5\xda" "3\xc1\xd0");
}

TEST(EditorSearch, StrToIntTakesIntegersAndRaisesOnTheRest) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("2147483647"), INT32_MAX);
  for (const char* bad : {"", "-", "12a", " 3", "2147483648", "$", "99999999999999999999"})
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
}

TEST(EditorSearch, JumpStaysInsideTheText) {
  EXPECT_EQ(JumpLine(3, 5), 3);
  EXPECT_EQ(JumpLine(0, 5), 1);
  EXPECT_EQ(JumpLine(-4, 5), 1);
  EXPECT_EQ(JumpLine(9, 5), 5);
}

TEST(ProjectListRules, MovesKeepTheOthersInOrder) {
  EXPECT_EQ(MoveTarget(TListMove::Next, 2, 3), 2);
  EXPECT_EQ(MoveTarget(TListMove::Pre, 0, 3), 0);
  EXPECT_EQ(MoveTarget(TListMove::Back, 0, 3), 2);
  std::vector<std::string> items{"a", "b", "c"};
  ASSERT_TRUE(MoveItem(items, 0, MoveTarget(TListMove::Next, 0, 3)));
  EXPECT_EQ(items, (std::vector<std::string>{"b", "a", "c"}));
  ASSERT_TRUE(MoveItem(items, 2, MoveTarget(TListMove::Top, 2, 3)));
  EXPECT_EQ(items, (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_FALSE(MoveItem(items, 3, 0));
  EXPECT_EQ(IsInList({"C:\\X.casm"}, "C:\\x.casm"), 0);
  EXPECT_EQ(IsInList({"C:\\X.casm"}, "C:\\X.casm"), 1);
  EXPECT_EQ(NonEmptyItems({"a", "", "b"}), (std::vector<std::string>{"a", "b"}));
}

TEST(Launcher, PathsAndHotKeys) {
  EXPECT_EQ(LaunchPath("/opt/t/", kLaunchItems[10].FileName), "/opt/t/TALVOSim");
  EXPECT_EQ(MissingFileText("/x"), "没找到以下文件：/x");
  EXPECT_EQ(HotKeyCommand(4), THotCommand::Build);
  EXPECT_EQ(HotKeyCommand(6), THotCommand::None);
  EXPECT_EQ(HotKeyCommand(-1), THotCommand::None);
}
