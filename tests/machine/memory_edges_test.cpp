// Every instruction that moves memory works with its last byte on the last byte of
// memory, and fails with nothing changed one byte further: MM, MR, RM and DMA at
// either end of their copy and the stack's pushes and pops, through a step and
// through a run (which runs some of them inline). A pop whose SP lies at 2^63 or above
// fails wherever its low 32 bits point.

#include "core_fixture.h"

namespace {

using namespace program_words;

class CoreMemoryEdgesTest : public CoreTest {
 public:
  static constexpr uint32_t kEnd = kMemBytes;
};

constexpr uint32_t kEnd = CoreMemoryEdgesTest::kEnd;
// Bytes a write carries, and bytes at the end of memory that a read carries.
constexpr uint8_t kWritten = 0xAB, kAtTheEnd = 0x77;
// The byte after the memory block, which nothing may write.
constexpr uint8_t kGuard = 0x5A;
// Where the copies that do not reach the end of memory go from or to.
constexpr uint32_t kElsewhere = 0x100;
constexpr uint32_t kDmaCount = 5;

constexpr Value128 Bytes(uint8_t byte) { return ~Value128{0} / 0xFF * byte; }

struct TEdgeCase {
  const char* Name;
  uint32_t Word;
  // The register holding the address: a general one, or SP for the stack.
  int AddressRegister;
  // The address at which the instruction's last byte is the last byte of memory.
  uint32_t LastInside;
  bool Writes;
  // The byte that holds the last byte of memory after a read, or that a write put
  // there.
  uint8_t (*Carried)(const TTALVOCPU& cpu);
  // Bits of the address register above the 32 the address is taken from: with them,
  // the instruction fails at either position.
  Value128 HighBits = 0;
};

constexpr int kSP = -1;
uint8_t LastMemoryByte(const TTALVOCPU& cpu) { return cpu.Memory[kEnd - 1]; }
uint8_t TopByte(Value128 value) { return static_cast<uint8_t>(value >> 120); }

const TEdgeCase kCases[] = {
    {"MM to", Word(MM, 1, 0, 2), 1, kEnd - 16, true, LastMemoryByte},
    {"MM from", Word(MM, 2, 0, 1), 1, kEnd - 16, false, [](const TTALVOCPU& cpu) { return cpu.Memory[kElsewhere + 15]; }},
    {"MR", Word(MR, 3, 0, 1), 1, kEnd - 16, false, [](const TTALVOCPU& cpu) { return TopByte(cpu.Regs[3]); }},
    {"RM", Word(RM, 0, 1, 4), 1, kEnd - 16, true, LastMemoryByte},
    {"DMA to", Word(Dma, 1, 2, 5), 1, kEnd - kDmaCount, true, LastMemoryByte},
    {"DMA from", Word(Dma, 2, 1, 5), 1, kEnd - kDmaCount, false,
     [](const TTALVOCPU& cpu) { return cpu.Memory[kElsewhere + kDmaCount - 1]; }},
    {"PUSH", Word(Push, 0, 0, 4), kSP, kEnd - 16, true, LastMemoryByte},
    // The last entry pushed is IS.
    {"CALL", Word(Call, 0, 6, 6), kSP, kEnd - 32, true, LastMemoryByte},
    {"INT", Word(Int, 0, 0, 6), kSP, kEnd - 48, true, LastMemoryByte},
    {"POP", Word(Pop, 0, 0, 3), kSP, kEnd, false, [](const TTALVOCPU& cpu) { return TopByte(cpu.Regs[3]); }},
    // The first entry popped goes to IS.
    {"RET", Word(Ret, 0, 0, 0), kSP, kEnd, false,
     [](const TTALVOCPU& cpu) { return TopByte(*cpu.GetSpecialRegBits(TTALVOCPU::IS)); }},
    {"IRET", Word(IRet, 0, 0, 0), kSP, kEnd, false,
     [](const TTALVOCPU& cpu) { return TopByte(*cpu.GetSpecialRegBits(TTALVOCPU::IS)); }},
    {"POP, SP at 2^63", Word(Pop, 0, 0, 3), kSP, kEnd, false, nullptr, Value128{1} << 63},
};

TEST_F(CoreMemoryEdgesTest, TheLastByteOfMemoryIsReachedAndTheNextIsNot) {
  for (const TEdgeCase& edge : kCases) {
    for (const bool inRun : {false, true}) {
      for (const uint32_t beyond : {0u, 1u}) {
        SCOPED_TRACE(std::string(edge.Name) + (inRun ? " in a run" : " in a step") + (beyond ? ", one byte out" : ""));
        cpu.Reset();
        for (uint32_t at = kEnd - 64; at < kEnd; ++at) cpu.Memory[at] = kAtTheEnd;
        for (uint32_t at = kElsewhere; at < kElsewhere + 16; ++at) cpu.Memory[at] = kWritten;
        cpu.Memory[kEnd] = kGuard;
        cpu.Regs[2] = kElsewhere;
        cpu.Regs[4] = Bytes(kWritten);
        cpu.Regs[5] = kDmaCount;
        S(TTALVOCPU::IS) = Bytes(kWritten);
        const Value128 address = edge.HighBits | (edge.LastInside + beyond);
        (edge.AddressRegister == kSP ? S(TTALVOCPU::SP) : cpu.Regs[edge.AddressRegister]) = address;
        Put(0, {edge.Word});

        const std::string before = Snapshot();
        const bool done = inRun ? cpu.Run(1).Steps == 1 : cpu.Step();
        EXPECT_EQ(cpu.Memory[kEnd], kGuard);
        if (beyond == 0 && edge.HighBits == 0) {
          EXPECT_TRUE(done);
          EXPECT_EQ(edge.Carried(cpu), edge.Writes ? kWritten : kAtTheEnd);
        } else {
          EXPECT_FALSE(done);
          EXPECT_TRUE(Snapshot() == before);
        }
      }
    }
  }
}

}  // namespace
