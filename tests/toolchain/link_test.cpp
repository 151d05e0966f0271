// The driver and the linker: object order and bases, reference patching across
// objects, output names, result codes, listing and ".Bin" copy.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../common/stored_name.h"
#include "assemble_helpers.h"
#include "output_bytes.h"
#include "base/file_error.h"
#include "base/gbk_convert.h"
#include "toolchain/complier_asm.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/le_file.h"

namespace {

namespace fs = std::filesystem;

uint32_t WordAt(const std::string& image, size_t byte) {
  return GetWordLE(reinterpret_cast<const unsigned char*>(image.data()) + byte);
}

std::string Rets(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "RET\r\n";
  return text;
}

// Builds the sources (name, text) as a project "demo.tvxPrj" in the folder.
int32_t Build(const TScratchFolder& folder, const std::vector<std::pair<std::string, std::string>>& sources,
              TComplierAsm& compiler) {
  compiler.ClearFiles();
  for (const auto& [name, text] : sources) compiler.AddFile(folder.Write(name, text));
  compiler.OutputName = (folder.Path / "demo.tvxPrj").string();
  return compiler.BuildAll();
}

TEST(Link, BasesAndReferencesAcrossObjects) {
  TScratchFolder folder;
  TComplierAsm compiler;
  // a.casm: 40 bytes, a reference at byte 0 to b_label, a_label at 28, dup at 32.
  // b.casm: dup at 0, b_label at 4, references at bytes 8, 28, 48 and 68.
  ASSERT_EQ(Build(folder,
                  {{"a.casm", "LD R1 OFFSET b_label\r\nRET\r\nRET\r\na_label:\r\nRET\r\n"
                              "dup:\r\nRET\r\nRET\r\n"},
                   {"b.casm", "dup:\r\nRET\r\nb_label:\r\nRET\r\nLD R2 OFFSET a_label\r\n"
                              "LD R3 LABEL b_label\r\nLD R4 OFFSET dup\r\nLD R5 OFFSET LOOP\r\n"
                              "loop:\r\n"}},
                  compiler),
            0);
  TOBJFiles& set = compiler.Linker.ObjFiles;
  ASSERT_EQ(set.QobjCount(), 2);
  EXPECT_EQ(set.Bases.Item(0)->Value, 0);
  EXPECT_EQ(set.Bases.Item(1)->Value, 40);
  const std::string image = ReadBytes(folder.Path / "demo.tvxbin");
  ASSERT_EQ(image.size(), 40u + 88u);
  EXPECT_EQ(WordAt(image, 4), 44u);        // OFFSET: b_label 4 moved by b's base
  EXPECT_EQ(WordAt(image, 40 + 12), 28u);  // OFFSET: a_label in a, base 0
  EXPECT_EQ(WordAt(image, 40 + 32), 4u);   // LABEL: no base
  EXPECT_EQ(WordAt(image, 40 + 52), 32u);  // the first definition of dup is a's
  EXPECT_EQ(WordAt(image, 40 + 72), 0u);   // LOOP is not loop
  EXPECT_EQ(ReadBytes(folder.Path / "demo.Bin"), image);
}

TEST(Link, OperandPositionsFromTheFileStayInsideTheirObject) {
  TScratchFolder folder;
  TComplierAsm compiler;
  ASSERT_EQ(Build(folder, {{"a.casm", "x:\r\n" + Rets(5)}, {"b.casm", Rets(5)}}, compiler), 0);
  // Forge references in b's object: positions at its end and far beyond it.
  TQOBJFile b;
  ASSERT_EQ(b.LoadFromFile((folder.Path / "b.qobj").string()), 0);
  TAsmFile forged;
  for (uint32_t position : {0u, 4u, 8u, 0x7FFFFFF0u, 0xFFFFFFF0u}) {
    TLineSym ref;
    ref.SymName = "x";
    ref.Offset[0] = position;
    forged.mOpLines.Append(ref);
  }
  for (int32_t i = 0; i < static_cast<int32_t>(b.Code.size()); ++i) forged.Code.Append(b.Code[i]);
  forged.FileName = (folder.Path / "b.casm").string();
  ASSERT_EQ(forged.SaveQobj(), 0);
  const std::string before = ReadBytes(folder.Path / "demo.tvxbin");
  TLink& linker = compiler.Linker;
  ASSERT_EQ(linker.Link(&compiler.Files), 0);
  const std::string after = ReadBytes(folder.Path / "demo.tvxbin");
  ASSERT_EQ(after.size(), before.size());
  // b holds 20 bytes from byte 20 of the image: only the reference at its byte 0
  // has its operand inside them.
  std::string expected = before;
  expected.replace(24, 16, std::string(16, '\0'));
  EXPECT_EQ(after, expected);
}

TEST(Link, NamesListingAndCopy) {
  TScratchFolder folder;
  fs::create_directories(folder.Path / "rel.2");
  TComplierAsm compiler;
  compiler.AddFile(folder.Write("rel.2/a.casm", Rets(3)));
  compiler.AddFile(folder.Write("rel.2/b", "k:\r\n" + Rets(2)));
  compiler.OutputName = (folder.Path / "rel.2/demo.tvxPrj").string();
  ASSERT_EQ(compiler.BuildAll(), 0);
  EXPECT_TRUE(fs::exists(folder.Path / "rel.2/b.qobj"));
  EXPECT_EQ(ReadBytes(folder.Path / "rel.2/demo.Bin").size(), 20u);
  const std::string listing = ReadBytes(folder.Path / "rel.2/demo.lst");
  const std::string words =
      "00000000\t\t31000000\r\n00000004\t\t31000000\r\n00000008\t\t31000000\r\n"
      "0000000c\t\t31000000\r\n00000010\t\t31000000\r\n";
  ASSERT_EQ(listing.substr(0, words.size()), words);
  const std::string dumpA = std::string(35, '-') + gbk::kDumpFileName +
                            StoredName(folder.Path / "rel.2/a.qobj") + "\r\n" +
                            gbk::kDumpDefHeading + gbk::kDumpDefCount + "0\r\n" +
                            gbk::kDumpRefHeading + gbk::kDumpRefCount + "0\r\n";
  EXPECT_EQ(listing.substr(words.size(), dumpA.size()), dumpA);
  TLineSym k;
  k.SymName = "k";
  EXPECT_EQ(listing.substr(words.size() + dumpA.size()).find(k.ToText() + "\r\n") ==
                std::string::npos,
            false);
}

TEST(Link, ObjectsTakenFromMemoryLinkAsTheirFilesDo) {
  TScratchFolder folder;
  TComplierAsm compiler;
  // Every kind of reference across two objects, and a label whose name holds a NUL,
  // which its object file cuts there.
  ASSERT_EQ(Build(folder,
                  {{"a.casm", "LD R1 OFFSET b\r\nLD R2 SEGMENT b\r\nK = 7\r\nLD R3 = K\r\n" +
                                  std::string("x\0y:\r\nRET\r\n", 10)},
                   {"b.casm", "b:\r\nLD R4 LABEL x\r\nFUNC b\r\nLD R5 OFFSET x\r\n"}},
                  compiler),
            0);
  const std::string image = ReadBytes(folder.Path / "demo.tvxbin");
  const std::string listing = ReadBytes(folder.Path / "demo.lst");
  EXPECT_EQ(WordAt(image, 64 + 4), 60u);  // LABEL x: the name up to its NUL
  EXPECT_EQ(WordAt(image, 64 + 44), 60u);
  ASSERT_EQ(compiler.Linker.Link(&compiler.Files), 0);
  EXPECT_EQ(ReadBytes(folder.Path / "demo.tvxbin"), image);
  EXPECT_EQ(ReadBytes(folder.Path / "demo.lst"), listing);
  EXPECT_EQ(ReadBytes(folder.Path / "demo.Bin"), image);
}

TEST(Link, FailureCodes) {
  TScratchFolder folder;
  TComplierAsm compiler;
  EXPECT_EQ(compiler.BuildAll(), -1);
  EXPECT_EQ(compiler.Linker.Link(nullptr), -1);

  // A source that fails stops the build with its messages; the sources after it are
  // not assembled and nothing is linked.
  EXPECT_EQ(Build(folder, {{"a.casm", "RET\r\n"}, {"b.casm", "what is this\r\n"}, {"c.casm", "RET\r\n"}},
                  compiler),
            -1);
  EXPECT_FALSE(compiler.Messages.empty());
  EXPECT_TRUE(fs::exists(folder.Path / "a.qobj"));
  EXPECT_FALSE(fs::exists(folder.Path / "c.qobj"));
  EXPECT_FALSE(fs::exists(folder.Path / "demo.tvxbin"));
  EXPECT_EQ(Build(folder, {{"missing/none.casm", ""}}, compiler), -1);

  // Link failures by step: a missing or foreign object, a negative word count.
  ASSERT_EQ(Build(folder, {{"a.casm", "RET\r\n"}}, compiler), 0);
  TLink& linker = compiler.Linker;
  const std::string bin = ReadBytes(folder.Path / "demo.Bin");
  const std::string object = (folder.Path / "a.qobj").string();
  const auto readFailure = [&](const std::string& reason) {
    return GbkToUtf8(gbk::kMsgCannotRead) + object + GbkToUtf8(gbk::kMsgPathReasonSeparator + reason) + "\r\n";
  };
  fs::remove(object);
  EXPECT_EQ(linker.Link(&compiler.Files), -2);
  EXPECT_EQ(linker.Messages, readFailure(FileErrorReason(ENOENT)));
  folder.Write("a.qobj", "QOBJ2\r\n");
  EXPECT_EQ(linker.Link(&compiler.Files), -2);
  EXPECT_EQ(linker.Messages, readFailure(gbk::kReasonNotAnObject));
  folder.Write("a.qobj", std::string("QOBJ1\r\n\xff\xff\xff\xff", 11));
  EXPECT_EQ(linker.Link(&compiler.Files), -5);
  EXPECT_EQ(linker.Messages, readFailure(gbk::kReasonObjectDamaged));
  // An image in a folder that does not exist cannot be written.
  linker.ImageName = (folder.Path / "nowhere/demo.tvxbin").string();
  EXPECT_EQ(linker.Link(&compiler.Files), -2);
  EXPECT_EQ(ReadBytes(folder.Path / "demo.Bin"), bin);
}

TEST(Driver, RebuildsFromScratchAndWritesPerFileOutputsOnRequest) {
  TScratchFolder folder;
  TComplierAsm compiler;
  EXPECT_EQ(compiler.SaveAllLst(), -1);
  ASSERT_EQ(Build(folder, {{"a.casm", "RET\r\n"}, {"b.casm", "RET\r\n"}, {"a.casm", "RET\r\n"}}, compiler), 0);
  EXPECT_EQ(ReadBytes(folder.Path / "demo.tvxbin").size(), 12u);
  ASSERT_EQ(Build(folder, {{"b.casm", "Nop\r\n"}}, compiler), 0);
  EXPECT_EQ(compiler.Files.CountNodes(), 1);
  EXPECT_EQ(ReadBytes(folder.Path / "demo.tvxbin"), std::string(4, '\0'));
  EXPECT_EQ(compiler.SaveAllHex(), 0);
  EXPECT_EQ(compiler.SaveAllLst(), 0);
  EXPECT_EQ(ReadBytes(folder.Path / "b.hex"), "00000000\r\n");
  EXPECT_TRUE(fs::exists(folder.Path / "b.lst"));
}

}  // namespace
