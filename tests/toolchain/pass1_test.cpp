#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assemble_helpers.h"
#include "base/gbk_convert.h"
#include "toolchain/convert_error.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/operands.h"

namespace {

using WordList = std::vector<uint32_t>;

// The message for a line that cannot be assembled, as Messages hold it (UTF-8).
std::string BadLine(int32_t lineNo, const std::string& line) {
  return GbkToUtf8(gbk::kMsgLineNo + std::to_string(lineNo) + gbk::kMsgBadLine + line) + "\r\n";
}

const TLineSym& Def(const TAsmFile& file, int32_t i) { return file.mLines.Item(i)->Value; }

TEST(Pass1, BlankLinesCommentsAndIndents) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(RunPass1(file, folder, "\r\n  \r\n// note\r\n  ADD R1 R2 R3   // sum\r\nLD R2 7\r\n"), 0);
  EXPECT_EQ(Words(file), (WordList{0x08010203, 0x80020000, 7, 0, 0, 0}));
  EXPECT_EQ(file.ListLines.ToStrings(),
            (std::vector<std::string>{"ADD R1 R2 R3", "LD R2 7", "", "", "", ""}));
  EXPECT_EQ(file.CodeBytes, 24);
}

TEST(Pass1, LabelsAndConstants) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(RunPass1(file, folder,
                     "RET\r\nstart:\r\nlate :\r\nX = 5\r\nY=7\r\nBIG = 4294967296\r\n"),
            0);
  ASSERT_EQ(file.mLines.Count, 5);
  EXPECT_EQ(Def(file, 0).SymName, "start");
  EXPECT_EQ(Def(file, 0).CodeCount, 4);
  EXPECT_EQ(Def(file, 0).LineNum, 1);
  EXPECT_EQ(Def(file, 0).Offset[0], 4u);
  EXPECT_EQ(Def(file, 1).SymName, "late ");
  EXPECT_EQ(Def(file, 2).SymName, "X");
  EXPECT_EQ(Def(file, 2).CodeCount, 3);
  EXPECT_EQ(Def(file, 2).LineNum, 4);
  EXPECT_EQ(Def(file, 2).Offset[0], 5u);
  EXPECT_EQ(Def(file, 3).SymName, "");  // no blank: no name
  EXPECT_EQ(Def(file, 4).Offset[1], 1u);
  EXPECT_EQ(file.Code.Count, 1);
}

TEST(Pass1, ConstantIsTriedBeforeInstruction) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(RunPass1(file, folder, "LD R1 = 5\r\nLD R1 = X\r\n"), 0);
  ASSERT_EQ(file.mLines.Count, 1);
  EXPECT_EQ(Def(file, 0).SymName, "LD");
  EXPECT_EQ(file.Code.Count, 5);
  ASSERT_EQ(file.mOpLines.Count, 1);
  EXPECT_EQ(file.mOpLines.Item(0)->Value.CodeCount, RefKindData);
  EXPECT_EQ(file.mOpLines.Item(0)->Value.SymName, "X");
}

TEST(Pass1, OrgAtTheTopFillsAndKeepsLabelOffsets) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(RunPass1(file, folder, "ORG 64\r\nmain:\r\nLD R1 OFFSET main\r\n"), 0);
  EXPECT_EQ(file.Code.Count, 16 + 5);
  EXPECT_EQ(file.ListLines[0], "ORG 64");
  EXPECT_EQ(file.ListLines.size(), 16u + 5u);
  EXPECT_EQ(Def(file, 0).CodeCount, 64);
  EXPECT_EQ(Def(file, 0).LineNum, 16);
  EXPECT_EQ(Def(file, 0).Offset[0], 0u);
  EXPECT_EQ(file.mOpLines.Item(0)->Value.Offset[0], 64u);
}

TEST(Pass1, CodeBytesFollowsTheWordsOrgEmits) {
  TScratchFolder folder;
  TAsmFile file;
  // 10 is no multiple of 4, and the second ORG fills only from the first one's mark.
  ASSERT_EQ(RunPass1(file, folder, "ORG 10\r\nORG 16\r\nFUNC f\r\n"), 0);
  EXPECT_EQ(file.OrgFill, 16);
  EXPECT_EQ(file.Code.Count, 4 + 5);
  EXPECT_EQ(file.CodeBytes, 4 * file.Code.Count);
  EXPECT_EQ(file.mOpLines.Item(0)->Value.Offset[0], 16u);
}

TEST(Pass1, OrgValuesThatCannotBeFilled) {
  TScratchFolder folder;
  TAsmFile file;
  EXPECT_EQ(RunPass1(file, folder, "ORG 0H40\r\n"), 0);
  EXPECT_EQ(file.ListLines.ToStrings(), (std::vector<std::string>{"ORG 0"}));
  EXPECT_EQ(RunPass1(file, folder, "ORG 64\r\nORG 32\r\n"), -1);
  EXPECT_EQ(file.Messages, BadLine(2, "ORG 32"));
  EXPECT_EQ(RunPass1(file, folder, "ORG 99999999999999999999\r\n"), -1);
  EXPECT_EQ(file.Code.Count, 0);
  EXPECT_EQ(file.ListLines.ToStrings(), (std::vector<std::string>{"ORG 2147483647"}));
}

TEST(Pass1, LinesThatFail) {
  TScratchFolder folder;
  TAsmFile file;
  EXPECT_EQ(RunPass1(file, folder, "RET\r\nNOP\r\nRET\r\n"), -1);
  EXPECT_EQ(file.Messages, BadLine(2, "NOP"));
  EXPECT_EQ(file.Code.Count, 1);  // what came before stays
  EXPECT_EQ(RunPass1(file, folder, "ADD R1 R2\r\n"), -1);
  EXPECT_EQ(RunPass1(file, folder, "ADD R1 R2 R3 R4 R5 R6\r\n"), -1);
  EXPECT_EQ(RunPass1(file, folder, "ADD\tR1 R2 R3\r\n"), -1);
  EXPECT_EQ(RunPass1(file, folder, "X = 0H10\r\n"), -1);
  EXPECT_EQ(RunPass1(file, folder, "ADD R1 R2  R3\r\n"), 0);  // one run of blanks
}

TEST(Pass1, RejectedOperandGivesTwoMessages) {
  TScratchFolder folder;
  TAsmFile file;
  EXPECT_EQ(RunPass1(file, folder, "RET\r\nMM R1 X Y\r\n"), -8);
  EXPECT_EQ(file.Messages, GbkToUtf8(std::string(gbk::kMsgErrorLine) + "2" + gbk::kMsgOperand2) +
                               BadLine(2, "MM R1 X Y"));
}

TEST(Pass1, NonNumericRegisterThrows) {
  TScratchFolder folder;
  TAsmFile file;
  EXPECT_THROW(RunPass1(file, folder, "RET\r\nADD R1 R2 Rx\r\nRET\r\n"), EConvertError);
  EXPECT_TRUE(file.Messages.empty());
  EXPECT_EQ(file.Code.Count, 1);
}

TEST(Pass1, LineEndsAndLineNumbers) {
  TScratchFolder folder;
  TAsmFile file;
  // CR LF, LF and CR each end one line; the unterminated last line is a line of its
  // own, as the editor (which writes no final line end) numbers it.
  EXPECT_EQ(RunPass1(file, folder, "RET\r\nRET\nRET\rRET\r\n\r\nBAD"), -1);
  EXPECT_EQ(file.Code.Count, 4);
  EXPECT_EQ(file.Messages, BadLine(6, "BAD"));
  EXPECT_EQ(RunPass1(file, folder, "BAD"), -1);
  EXPECT_EQ(file.Messages, BadLine(1, "BAD"));
  EXPECT_EQ(RunPass1(file, folder, "RET\r\nRET\r\nBAD\r\n"), -1);
  EXPECT_EQ(file.Messages, BadLine(3, "BAD"));
  EXPECT_EQ(RunPass1(file, folder, "RET\r"), 0);
  EXPECT_EQ(file.Code.Count, 1);
}

TEST(Pass1, EmptyAndMissingFiles) {
  TScratchFolder folder;
  TAsmFile file;
  EXPECT_EQ(file.AssembleLines(), -1);
  EXPECT_EQ(RunPass1(file, folder, ""), -2);
  EXPECT_TRUE(file.Messages.empty());
  file.FileName = "kept";
  EXPECT_EQ(file.LoadFile((folder.Path / "missing.casm").string()), -2);
  EXPECT_EQ(file.LoadFile(""), -1);
  EXPECT_EQ(file.LoadFile(folder.Path.string()), -3);
  EXPECT_EQ(file.FileName, "kept");
}

TEST(Pass1, AssemblingAgainGivesTheSameResult) {
  TScratchFolder folder;
  TAsmFile file;
  const std::string text = "ORG 8\r\na:\r\nLD R1 LABEL a\r\nK = 3\r\nRET\r\n";
  ASSERT_EQ(RunPass1(file, folder, text), 0);
  const WordList words = Words(file);
  const auto listing = file.ListLines;
  ASSERT_EQ(RunPass1(file, folder, text), 0);
  EXPECT_EQ(Words(file), words);
  EXPECT_EQ(file.ListLines, listing);
  EXPECT_EQ(file.mLines.Count, 2);
  EXPECT_EQ(file.mOpLines.Count, 1);
}

TEST(Pass1, AssignCopiesTheAssembledState) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(RunPass1(file, folder, "a:\r\nFUNC a\r\n"), 0);
  TAsmFile copy;
  copy.Assign(file);
  file.Code.Item(0)->Value = 0;
  EXPECT_EQ(copy.Code.Item(0)->Value, 0x34000000u);
  EXPECT_EQ(copy.mLines.Count, 1);
  EXPECT_EQ(copy.mOpLines.Count, 1);
  EXPECT_EQ(copy.BufferLen, file.BufferLen);
  EXPECT_TRUE(copy.ListLines.empty());
  TCList<TAsmFile> files;
  files.Append(file);
  files.Append(file);
  EXPECT_EQ(files.Item(1)->Value.FileName, file.FileName);
}

class Include : public ::testing::Test {
 protected:
  TScratchFolder folder;
  TAsmFile file;
  // Named beside the including source: the scratch folder's path may hold blanks,
  // which would give an include that cannot be opened more operands.
  static std::string Inc(const std::string& name) { return "INC \"" + name + "\""; }
};

TEST_F(Include, SplicesTheFileAndCountsItsLines) {
  folder.Write("part.casm", "PUSH R1\r\nPOP R2");  // no final line end
  ASSERT_EQ(RunPass1(file, folder, "RET\r\n" + Inc("part.casm") + "\r\nRET\r\nBAD\r\n"), -1);
  EXPECT_EQ(Words(file), (WordList{0x31000000, 0x60000001, 0x61000002, 0x31000000}));
  EXPECT_EQ(file.Messages, BadLine(6, "BAD"));
}

TEST_F(Include, MissingFileFallsThroughToInstructions) {
  ASSERT_EQ(RunPass1(file, folder, "INC R1 R2\r\n"), 0);
  EXPECT_EQ(Words(file), (WordList{0x0E000102}));
  const std::string missing = Inc("none.casm");
  EXPECT_EQ(RunPass1(file, folder, missing + "\r\n"), -1);
  EXPECT_EQ(file.Messages, BadLine(1, missing));
}

TEST_F(Include, CyclesEndAsAnIncludeThatCannotBeOpened) {
  folder.Write("self.casm", "RET\r\n" + Inc("self.casm") + "\r\n");
  EXPECT_EQ(RunPass1(file, folder, Inc("self.casm") + "\r\n"), -1);
  EXPECT_EQ(file.Code.Count, static_cast<int32_t>(TAsmFile::kMaxIncludeDepth));
  // Nested includes that close again do not count against the depth.
  folder.Write("one.casm", "RET\r\n");
  std::string text;
  for (int i = 0; i < 100; ++i) text += Inc("one.casm") + "\r\n";
  EXPECT_EQ(RunPass1(file, folder, text), 0);
  EXPECT_EQ(file.Code.Count, 100);
}

}  // namespace
