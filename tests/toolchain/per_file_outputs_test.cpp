// Pass 2 and everything written for one source: object file, hex dump, raw image,
// listing. Files are compared byte for byte.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assemble_helpers.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/le_file.h"
#include "toolchain/qobj_file.h"

namespace {

using WordList = std::vector<uint32_t>;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Le(std::initializer_list<uint32_t> words) {
  std::string bytes;
  for (uint32_t word : words) {
    unsigned char b[4];
    PutWordLE(b, word);
    bytes.append(reinterpret_cast<char*>(b), 4);
  }
  return bytes;
}

TEST(Pass2, ResolvesByKindAndTheLastDefinitionWins) {
  SourceFolder folder;
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
  EXPECT_EQ(WordList(after.begin() + 1, after.begin() + 5), (WordList{104, 0, 0, 0}));
  EXPECT_EQ(WordList(after.begin() + 6, after.begin() + 10), (WordList{1, 0, 0, 0}));
  EXPECT_EQ(WordList(after.begin() + 11, after.begin() + 15), (WordList{1, 1, 0, 0}));
  EXPECT_EQ(WordList(after.begin() + 16, after.begin() + 20), (WordList{0, 0, 0, 0}));
  EXPECT_EQ(WordList(after.begin() + 20, after.end()), WordList(before.begin() + 20, before.end()));
}

TEST(Pass2, ReferencesOutsideTheCodeAreNotPatched) {
  SourceFolder folder;
  TAsmFile file;
  ASSERT_EQ(RunPass1(file, folder, "x:\r\nRET\r\nRET\r\nRET\r\nRET\r\nRET\r\n"), 0);
  for (uint32_t position : {0u, 4u, 1000u, 0xFFFFFFFCu}) {
    TLineSym ref;
    ref.SymName = "x";
    ref.CodeCount = 0;
    ref.Offset[0] = position;
    file.mOpLines.Append(ref);
  }
  const WordList before = Words(file);
  file.ResolveLabels();
  // Only the reference at 0 leaves four words after its instruction inside the code.
  WordList expected = before;
  std::fill(expected.begin() + 1, expected.end(), 0u);
  EXPECT_EQ(Words(file), expected);
  EXPECT_EQ(file.PatchWords(2, 1, 2, 3, 4), -1);
  EXPECT_EQ(file.PatchWords(1, 1, 2, 3, 4), 0);
  EXPECT_EQ(file.PatchWords(-1, 1, 2, 3, 4), -1);
}

TEST(ObjectFile, BytesOfAnAssembledSourceAndTheirReadBack) {
  SourceFolder folder;
  TAsmFile file;
  const std::string source = folder.Write("boot.casm", "LD R1 OFFSET L\r\nL:\r\nRET\r\nK = 7\r\n");
  ASSERT_EQ(file.AssembleFile(source), 0);
  const std::string bytes = ReadBytes((folder.Path / "boot.qobj").string());
  ASSERT_EQ(bytes.size(), 19u + 4 * 6 + 1064 * 3);
  EXPECT_EQ(bytes.substr(0, 11), std::string("QOBJ1\r\n", 7) + Le({6}));
  EXPECT_EQ(bytes.substr(11, 24), Le({0x80010000, 20, 0, 0, 0, 0x31000000}));
  EXPECT_EQ(bytes.substr(35, 4), Le({2}));
  // The label record: CodeCount 20, LineNum 5, offset 20, segment 0, name "L" then NULs.
  EXPECT_EQ(bytes.substr(39, 40), Le({20, 5, 20, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(bytes.substr(79, 1024), std::string("L") + std::string(1023, '\0'));
  EXPECT_EQ(bytes.substr(39 + 2 * 1064, 4), Le({1}));

  TQOBJFile object;
  ASSERT_EQ(object.LoadFromFile((folder.Path / "boot.qobj").string()), 0);
  EXPECT_EQ(object.CodeSize, 24);
  EXPECT_EQ(object.Code, (std::vector<uint32_t>{0x80010000, 20, 0, 0, 0, 0x31000000}));
  ASSERT_EQ(object.mLines.CountNodes(), 2);
  EXPECT_EQ(object.mLines.Item(1)->Value.SymName, "K");
  EXPECT_EQ(object.mLines.Item(1)->Value.Offset[0], 7u);
  ASSERT_EQ(object.mOpLines.CountNodes(), 1);
  EXPECT_EQ(object.mOpLines.Item(0)->Value.SymName, "L");
}

TEST(ObjectFile, NamesThatDoNotFitAreRefusedBeforeTheFileIsTouched) {
  SourceFolder folder;
  const std::string qobj = folder.Write("n.qobj", "old");
  TAsmFile file;
  const std::string longName(1024, 'a');
  const std::string source = folder.Write("n.casm", longName + ":\r\nRET\r\n");
  EXPECT_EQ(file.AssembleFile(source), -4);
  EXPECT_EQ(ReadBytes(qobj), "old");

  // 1023 bytes still fit and come back whole.
  const std::string fits(1023, 'b');
  ASSERT_EQ(file.AssembleFile(folder.Write("n.casm", fits + ":\r\nRET\r\n")), 0);
  TQOBJFile object;
  ASSERT_EQ(object.LoadFromFile(qobj), 0);
  EXPECT_EQ(object.mLines.Item(0)->Value.SymName, fits);
}

TEST(ObjectFile, ReaderCodesAndHostileCounts) {
  SourceFolder folder;
  const std::string magic("QOBJ1\r\n", 7);
  struct Case {
    std::string Bytes;
    int32_t Result;
  };
  const std::vector<Case> cases = {
      {magic + Le({0, 0, 0}), 0},
      {std::string("QOBJ1\n\r", 7) + Le({0, 0, 0}), -2},
      {std::string("qobj1\r\n", 7) + Le({0, 0, 0}), -2},
      {"QOBJ1", -2},
      {magic + Le({0xFFFFFFFF}), -3},
      {magic + Le({0, 0xFFFFFFFF, 0xFFFFFFFF}), 0},
      {magic + Le({0x7FFFFFFF}), -4},
      {magic + Le({0x10000000, 1}), -5},
      {magic + Le({1, 5}), -5},
      {magic + Le({0, 0x7FFFFFFF}), -5},
      {magic + Le({0, 1}) + std::string(1000, 'x'), -5},
      {magic + Le({0, 0}), -5},
  };
  TQOBJFile object;
  for (const Case& c : cases) {
    EXPECT_EQ(object.LoadFromFile(folder.Write("h.qobj", c.Bytes)), c.Result) << c.Bytes.size();
    if (c.Result != 0) {
      EXPECT_EQ(object.CodeSize, 0);
      EXPECT_TRUE(object.Code.empty());
      EXPECT_EQ(object.mLines.CountNodes(), 0);
    }
  }
  // A missing file leaves what was loaded before.
  ASSERT_EQ(object.LoadFromFile(folder.Write("ok.qobj", magic + Le({1, 9, 0, 0}))), 0);
  EXPECT_EQ(object.LoadFromFile((folder.Path / "missing.qobj").string()), -1);
  EXPECT_EQ(object.Code, std::vector<uint32_t>{9});
}

TEST(PerFileOutputs, HexImageAndListingBytes) {
  SourceFolder folder;
  TAsmFile file;
  ASSERT_EQ(file.AssembleFile(folder.Write("boot.casm", "LD R1 OFFSET L\r\nL:\r\nRET\r\n")), 0);
  ASSERT_EQ(file.SaveHex(), 0);
  ASSERT_EQ(file.SaveTvxBin(), 0);
  ASSERT_EQ(file.SaveLst(), 0);
  EXPECT_EQ(ReadBytes((folder.Path / "boot.hex").string()),
            "80010000\r\n00000014\r\n00000000\r\n00000000\r\n00000000\r\n31000000\r\n");
  EXPECT_EQ(ReadBytes((folder.Path / "boot.tvxbin").string()),
            Le({0x80010000, 20, 0, 0, 0, 0x31000000}));
  const std::string block = "\t\t00000000\t\t00000000\r\n";
  const std::string expected =
      std::string(gbk::kListHeading) + std::string(53, '=') + "\r\n" +
      "00000000\t\t80010000\t\tLD R1 OFFSET L\r\n" + "00000004\t\t00000014\t\t\r\n" +
      "00000008\t\t00000000\t\t\r\n" + "0000000c\t\t00000000\t\t\r\n" +
      "00000010\t\t00000000\t\t\r\n" + "00000014\t\t31000000\t\tRET\r\n" + "\r\n" +
      std::string(49, '=') + "\r\n" + gbk::kListRefHeading + "L\r\n" +
      "\t\t00000000\t\t00000000\r\n" + block + block + block + "\r\n" + std::string(49, '=') +
      "\r\n" + gbk::kListDefHeading + "L\r\n" + "\t\t00000014\t\t00000000\r\n" + block + block +
      block;
  EXPECT_EQ(ReadBytes((folder.Path / "boot.lst").string()), expected);
}

TEST(PerFileOutputs, NamesAndFailures) {
  SourceFolder folder;
  std::filesystem::create_directories(folder.Path / "rel.2");
  TAsmFile file;
  ASSERT_EQ(file.AssembleFile(folder.Write("rel.2/noext", "RET\r\n")), 0);
  EXPECT_TRUE(std::filesystem::exists(folder.Path / "rel.2/noext.qobj"));
  ASSERT_EQ(file.SaveLst(), 0);
  EXPECT_TRUE(std::filesystem::exists(folder.Path / "rel.2/noext.lst"));
  // An output that cannot be created is a failure, not a success.
  std::filesystem::create_directories(folder.Path / "rel.2/noext.hex");
  EXPECT_EQ(file.SaveHex(), -1);
  // A write that fails after the file was opened is caught at the flush.
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_FALSE(WriteWholeFile("/dev/full", "x"));
  }
}

}  // namespace
