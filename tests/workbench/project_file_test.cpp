#include <gtest/gtest.h>

#include <stdexcept>

#include "test_files.h"
#include "workbench/model/project.h"

namespace {

std::string Ints(std::initializer_list<int32_t> values) {
  std::string bytes;
  for (int32_t v : values)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((static_cast<uint32_t>(v) >> shift) & 0xFF));
  return bytes;
}

}  // namespace

TEST(ProjectFile, SavesPathsWithCrLfAndTheDefaultOptions) {
  TScratchFolder dir;
  TProject project;
  project.Files.Append("C:\\a.casm");
  project.Files.Append("D:\\b.casm");
  ASSERT_EQ(project.SaveToFile(dir.File("p.tvxPrj")), 0);
  EXPECT_EQ(ReadBytes(dir.File("p.tvxPrj")), "C:\\a.casm\r\nD:\\b.casm\r\n");
  EXPECT_EQ(ReadBytes(dir.File("p.tvxPrj.set")), Ints({0, 1, 1, 1, 1, 1}));
}

TEST(ProjectFile, EmptyProjectWritesNothingAndKeepsTheOldFile) {
  TScratchFolder dir;
  WriteBytes(dir.File("p.tvxPrj"), "old\r\n");
  TProject project;
  EXPECT_EQ(project.SaveToFile(dir.File("p.tvxPrj")), -2);
  EXPECT_EQ(ReadBytes(dir.File("p.tvxPrj")), "old\r\n");
  EXPECT_FALSE(Exists(dir.File("p.tvxPrj.set")));
}

TEST(ProjectFile, UnwritableFileThrowsAndLeavesNoTemporary) {
  TScratchFolder dir;
  TProject project;
  project.Files.Append("a.casm");
  EXPECT_THROW(project.SaveToFile(dir.File("missing/p.tvxPrj")), std::runtime_error);
}

TEST(ProjectFile, ReadsEveryLineEndAndStopsAtNul) {
  TScratchFolder dir;
  const char bytes[] = "a\r\n\r\nb\rc\nd\0ignored\r\n";
  WriteBytes(dir.File("p.tvxPrj"), std::string(bytes, sizeof bytes - 1));
  TProject project;
  ASSERT_EQ(project.LoadFromFile(dir.File("p.tvxPrj")), 0);
  EXPECT_EQ(project.AllFiles(), (std::vector<std::string>{"a", "", "b", "c", "d"}));
  std::vector<std::string> shown;
  project.ToStrings(&shown);
  EXPECT_EQ(shown, (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(project.ToStrings(nullptr), -1);
}

TEST(ProjectFile, BlankLinesAreEntriesButAnEmptyFileChangesNothing) {
  TScratchFolder dir;
  WriteBytes(dir.File("blank.tvxPrj"), "\r\n\r\n");
  WriteBytes(dir.File("empty.tvxPrj"), "");
  TProject project;
  project.Files.Append("keep");
  ASSERT_EQ(project.LoadFromFile(dir.File("blank.tvxPrj")), 0);
  EXPECT_EQ(project.AllFiles(), (std::vector<std::string>{"", ""}));
  project.SetFiles({"keep"});
  EXPECT_EQ(project.LoadFromFile(dir.File("empty.tvxPrj")), -2);
  EXPECT_EQ(project.AllFiles(), (std::vector<std::string>{"keep"}));
}

TEST(ProjectFile, MissingFileThrowsWithNothingChanged) {
  TScratchFolder dir;
  TProject project;
  project.Files.Append("keep");
  EXPECT_THROW(project.LoadFromFile(dir.File("none.tvxPrj")), std::runtime_error);
  EXPECT_EQ(project.AllFiles(), (std::vector<std::string>{"keep"}));
}

TEST(ProjectOptions, OnlyOneIsOnAndShortFilesKeepTheRest) {
  TScratchFolder dir;
  TProject project;
  WriteBytes(dir.File("o.set"), Ints({1, 0, 2, 1, -1, 1}) + "extra");
  ASSERT_EQ(project.LoadSetup(dir.File("o.set")), 0);
  EXPECT_EQ((std::vector<int>{project.ShowCommInfo, project.ShowWarning, project.ShowError, project.MakeList,
                              project.MakeTvxbin, project.MakeHex}),
            (std::vector<int>{1, 0, 0, 1, 0, 1}));
  WriteBytes(dir.File("short.set"), Ints({0, 1}) + "\x01\x00");
  ASSERT_EQ(project.LoadSetup(dir.File("short.set")), 0);
  EXPECT_EQ((std::vector<int>{project.ShowCommInfo, project.ShowWarning, project.ShowError, project.MakeList}),
            (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(project.LoadSetup(""), -1);
  EXPECT_EQ(project.LoadSetup(dir.File("none.set")), -2);
  project.MakeHex = 7;  // anything but 1 is stored as 0
  project.SetFiles({"a.casm"});
  ASSERT_EQ(project.SaveToFile(dir.File("w.tvxPrj")), 0);
  EXPECT_EQ(ReadBytes(dir.File("w.tvxPrj.set")), Ints({0, 1, 0, 1, 0, 0}));
}

TEST(ProjectFile, AddFileGoesFirst) {
  TProject project;
  project.SetFiles({"a", "b"});
  project.AddFile("x");
  EXPECT_EQ(project.AllFiles(), (std::vector<std::string>{"x", "a", "b"}));
}
