// Pass 2: references to names the same source defines.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "assemble_helpers.h"
#include "toolchain/operands.h"

namespace {

using WordList = std::vector<uint32_t>;

WordList Slice(const WordList& words, size_t from, size_t count) {
  return WordList(words.begin() + static_cast<std::ptrdiff_t>(from),
                  words.begin() + static_cast<std::ptrdiff_t>(from + count));
}

TEST(Pass2, ResolvesByKindAndTheLastDefinitionWins) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(RunPass1(file, folder,
                     "LD R1 OFFSET fwd\r\nLD R2 = BIG\r\nLD R3 OFFSET BIG\r\n"
                     "LD R4 SEGMENT fwd\r\nLD R5 LABEL nowhere\r\nfwd:\r\nRET\r\nfwd:\r\n"
                     "BIG = 4294967297\r\n"),
            0);
  const WordList before = Words(file);
  EXPECT_EQ(file.ResolveLabels(), 0);
  const WordList after = Words(file);
  ASSERT_EQ(after.size(), 26u);
  EXPECT_EQ(Slice(after, 1, 4), (WordList{104, 0, 0, 0}));  // the second fwd
  EXPECT_EQ(Slice(after, 6, 4), (WordList{1, 0, 0, 0}));    // data: low word only
  EXPECT_EQ(Slice(after, 11, 4), (WordList{1, 1, 0, 0}));   // offset: all four
  EXPECT_EQ(Slice(after, 16, 4), (WordList{0, 0, 0, 0}));   // segment of a label
  // An unknown name keeps what the encoder wrote.
  EXPECT_EQ(Slice(after, 20, 6), Slice(before, 20, 6));
}

TEST(Pass2, LabelOffsetsLeaveOutOrgFill) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(RunPass1(file, folder, "ORG 64\r\nfirst:\r\nLD R1 LABEL first\r\n"), 0);
  file.ResolveLabels();
  const WordList words = Words(file);
  ASSERT_EQ(words.size(), 16u + 5u);
  EXPECT_EQ(Slice(words, 17, 4), (WordList{0, 0, 0, 0}));
}

TEST(Pass2, ReferencesOutsideTheCodeAreNotPatched) {
  TScratchFolder folder;
  TAsmFile file;
  ASSERT_EQ(RunPass1(file, folder, "x:\r\nRET\r\nRET\r\nRET\r\nRET\r\nRET\r\n"), 0);
  file.mLines.Item(0)->Value.Offset[0] = 0xAA;
  for (uint32_t position : {0u, 4u, 1000u, 0xFFFFFFFCu}) {
    TLineSym ref;
    ref.SymName = "x";
    ref.CodeCount = RefKindOffset;
    ref.Offset[0] = position;
    file.mOpLines.Append(ref);
  }
  const WordList before = Words(file);
  file.ResolveLabels();
  // Only the reference at 0 leaves four words after its instruction inside the code;
  // the others must not pile into the last word.
  WordList expected = before;
  std::copy_n(WordList{0xAA, 0, 0, 0}.begin(), 4, expected.begin() + 1);
  EXPECT_EQ(Words(file), expected);
  EXPECT_EQ(file.PatchWords(2, 1, 2, 3, 4), -1);
  EXPECT_EQ(file.PatchWords(-1, 1, 2, 3, 4), -1);
  EXPECT_EQ(file.PatchWords(1, 1, 2, 3, 4), 0);
  EXPECT_EQ(Slice(Words(file), 1, 4), (WordList{1, 2, 3, 4}));
}

}  // namespace
