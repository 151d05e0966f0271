// Inputs built to break things: each must end in a result code or a failed step,
// never a crash, a hang or a write outside its buffer (run under the sanitizers too).

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "../common/scratch.h"
#include "../machine/program_words.h"
#include "../machine/recording_host.h"
#include "machine/talvo_cpu.h"
#include "toolchain/complier_asm.h"
#include "toolchain/convert_error.h"
#include "toolchain/le_file.h"

namespace {

namespace fs = std::filesystem;

class HostileTest : public ScratchFolderTest {
 protected:

  std::string Write(const std::string& name, const std::string& bytes) const {
    WriteBytes(PathOf(name), bytes);
    return PathOf(name);
  }
  // The result of assembling the text; 1000 for the conversion error.
  int32_t Assemble(const std::string& text, const std::string& name = "src.casm") const {
    TAsmFile file;
    try {
      return file.AssembleFile(Write(name, text));
    } catch (const EConvertError&) {
      return 1000;
    }
  }
};

TEST_F(HostileTest, SourcesOfJunkHugeLinesAndHugeNames) {
  std::mt19937 random(12345);
  std::string junk(1 << 20, '\0');
  for (char& c : junk) c = static_cast<char>(random());
  EXPECT_NE(Assemble(junk), 0);

  const std::string megabytes(4 << 20, '7');
  EXPECT_EQ(Assemble("LD R1 " + megabytes + "\r\n"), -2);
  EXPECT_EQ(Assemble("ORG " + megabytes + "\r\n"), -2);
  EXPECT_EQ(Assemble(megabytes), -2);

  // Names longer than the object record holds fail the assembly; nothing is cut.
  const std::string label(100000, 'L');
  EXPECT_EQ(Assemble(label + ":\r\nRET\r\n"), -4);
  EXPECT_EQ(Assemble("LD R1 OFFSET " + label + "\r\n"), -4);
}

TEST_F(HostileTest, TenThousandNestedIncludesEndAsAnIncludeThatFails) {
  constexpr int kFiles = 10000;
  for (int i = 0; i < kFiles; ++i) {
    Write("inc" + std::to_string(i) + ".casm",
          "RET\r\nINC \"" + (dir_ / ("inc" + std::to_string(i + 1) + ".casm")).string() + "\"\r\n");
  }
  EXPECT_EQ(Assemble("INC \"" + (dir_ / "inc0.casm").string() + "\"\r\n"), -2);
  // A file that includes itself is the same cycle.
  const std::string self = (dir_ / "self.casm").string();
  EXPECT_EQ(Assemble("INC \"" + self + "\"\r\n", "self.casm"), -2);
}

TEST_F(HostileTest, ObjectFilesWithEveryFieldCorrupted) {
  TComplierAsm compiler;
  compiler.AddFile(Write("a.casm", "a:\r\nLD R1 OFFSET b\r\nRET\r\n"));
  compiler.AddFile(Write("b.casm", "b:\r\nLD R2 LABEL a\r\n"));
  compiler.OutputName = (dir_ / "p.tvxPrj").string();
  ASSERT_EQ(compiler.BuildAll(), 0);
  const std::string objectPath = (dir_ / "b.qobj").string();
  const std::string original = ReadBytes(objectPath);

  const uint32_t values[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x10000, 0xFFFFFFF0};
  // Every 4-byte field of the counts and of the numbers of the records: b has five
  // words, one definition and one reference.
  constexpr size_t kFirstRecord = 11 + 4 * 5 + 4;
  std::vector<size_t> fields = {7, kFirstRecord - 4, kFirstRecord + 1064};
  for (size_t record : {kFirstRecord, kFirstRecord + 1064 + 4}) {
    for (size_t field = 0; field < 40; field += 4) fields.push_back(record + field);
  }
  for (size_t at : fields) {
    for (uint32_t value : values) {
      std::string bytes = original;
      PutWordLE(reinterpret_cast<unsigned char*>(bytes.data()) + at, value);
      Write("b.qobj", bytes);
      TLink& linker = compiler.Linker;
      const int32_t result = linker.Link(&compiler.Files);
      EXPECT_TRUE(result == 0 || result == -2 || result == -5) << at << " " << value << " " << result;
    }
  }
  // Every truncation, and a name field with no NUL.
  for (size_t length = 0; length < original.size(); length += 97) {
    Write("b.qobj", original.substr(0, length));
    EXPECT_NE(compiler.Linker.Link(&compiler.Files), 0) << length;
  }
  std::string noNul = original;
  std::fill(noNul.begin() + kFirstRecord + 40, noNul.begin() + kFirstRecord + 1064, 'x');
  Write("b.qobj", noNul);
  EXPECT_EQ(compiler.Linker.Link(&compiler.Files), 0);
}

TEST_F(HostileTest, DiskPositionsAtEveryEdge) {
  TFloppy floppy;
  floppy.FileName = (dir_ / "floppy.img").string();
  ASSERT_EQ(floppy.Open(), 0);
  const int64_t edges[] = {-1, 0, 1, 71, 72, 79, 80, 255, 256, INT32_MAX, INT32_MIN, 0xFFFFFFFFLL};
  for (int64_t track : edges) {
    for (int64_t sector : edges) {
      for (int64_t byte : edges) {
        const Value128 position = MakeValue128(static_cast<uint64_t>(sector) << 32 | static_cast<uint32_t>(byte),
                                               static_cast<uint32_t>(track));
        floppy.SetPosition(position);
        floppy.WriteData(0xA5);
        const int written = floppy.Command(MakeValue128(TDiskDrive::CommandWriteByte, 0));
        const int read = floppy.Command(MakeValue128(TDiskDrive::CommandReadByte, 0));
        // Components are not checked one by one: the offset they give must lie on the disk.
        const int64_t track32 = static_cast<int32_t>(track), sector32 = static_cast<int32_t>(sector);
        const int64_t offset = (track32 * 80 + sector32) * 256 + static_cast<int32_t>(byte);
        const bool inside = offset >= 0 && offset < floppy.Capacity();
        EXPECT_EQ(written == 0, inside) << track << " " << sector << " " << byte;
        EXPECT_EQ(read == 0, inside);
      }
    }
  }
  floppy.Close();
  EXPECT_LE(static_cast<int64_t>(fs::file_size(dir_ / "floppy.img")), floppy.Capacity());
}

TEST_F(HostileTest, ProgramsThatLeaveMemory) {
  using namespace program_words;
  RecordingHost host;
  TTALVOCPU cpu;
  cpu.SettingPath = (dir_ / "none.setting").string();
  cpu.MemSize = 4096;
  cpu.Host = &host;
  struct Case {
    const char* What;
    Image Program;
  };
  std::vector<Case> cases;
  cases.push_back({"jump far", Image().Load(1, 0xFFFFFFF0u).Emit(Word(Jmp, 0, 0, 1))});
  cases.push_back({"jump to the last word", Image().Load(1, 4094).Emit(Word(Jmp, 0, 0, 1))});
  cases.push_back({"push at the end", Image().Load(1, 4090).Emit(Word(Set, 0, SP, 1)).Emit(Word(Push, 0, 0, 2))});
  cases.push_back({"push past the end", Image().Load(1, 0xFFFFFFFFFFFFull).Emit(Word(Set, 0, SP, 1)).Emit(Word(Push, 0, 0, 2))});
  cases.push_back({"pop below 0", Image().Load(1, 8).Emit(Word(Set, 0, SP, 1)).Emit(Word(Pop, 0, 0, 2))});
  cases.push_back({"load at the end", Image().Load(1, 4088).Emit(Word(MR, 2, 0, 1))});
  cases.push_back({"store far", Image().Load(1, ~Value128(0)).Emit(Word(RM, 0, 1, 2))});
  cases.push_back({"dma too long", Image().Load(1, 0).Load(2, 100).Load(3, 5000).Emit(Word(0x52, 1, 2, 3))});
  cases.push_back({"dma from far", Image().Load(1, 0).Load(2, 0xFFFFFFFF00ull).Load(3, 16).Emit(Word(0x52, 1, 2, 3))});
  for (Case& c : cases) {
    ASSERT_TRUE(c.Program.WriteTo((dir_ / "bios.bin").string()));
    ASSERT_EQ(cpu.LoadBiosImage((dir_ / "bios.bin").string()), 0);
    cpu.Reset();
    int steps = 0;
    while (steps < 100 && cpu.Step()) ++steps;
    EXPECT_LT(steps, 100) << c.What;
  }
}

}  // namespace
