// Flags, 256-bit products, the registers MUL and DIV cannot have, memory operands at the edge.

#include "core_fixture.h"
#include "machine/reg_bits.h"

namespace {

using CoreDataOpsTest = CoreTest;
constexpr Value128 kMax = ~Value128{0};
constexpr Value128 kTop = Value128{1} << 127;

TEST_F(CoreDataOpsTest, AddAndIncRewriteCarrySubAndDecRewriteBorrow) {
  cpu.Regs[1] = kMax;
  cpu.Regs[2] = 1;
  const struct { uint32_t word; int reg; Value128 value; int flag; bool set; } rows[] = {
      {W(0x08, 3, 1, 2), 3, 0, isa::kCarryBit, true},      // max + 1
      {W(0x08, 4, 2, 2), 4, 2, isa::kCarryBit, false},     // 1 + 1
      {W(0x09, 5, 0, 2), 5, kMax, isa::kBorrowBit, true},  // 0 - 1
      {W(0x09, 6, 2, 2), 6, 0, isa::kBorrowBit, false},    // 1 - 1
      {W(0x0E, 0, 7, 1), 7, 0, isa::kCarryBit, true},      // INC max
      {W(0x0F, 0, 8, 0), 8, kMax, isa::kBorrowBit, true},  // DEC 0
      {W(0x0E, 0, 9, 2), 9, 2, isa::kCarryBit, false}};    // INC 1
  for (const auto& row : rows) {
    Put(cpu.GetProgramCounter(), {row.word});
    ASSERT_TRUE(cpu.Step());
    EXPECT_EQ(cpu.Regs[row.reg], row.value) << row.reg;
    EXPECT_EQ(Flag(row.flag), row.set) << row.reg;
  }
  EXPECT_EQ(S(TTALVOCPU::PSW) & ~(Value128{1} << isa::kCarryBit | Value128{1} << isa::kBorrowBit), 0u);
}

TEST_F(CoreDataOpsTest, MulGivesTheFull256BitProductEvenIntoItsOwnSources) {
  cpu.Regs[1] = kTop;
  cpu.Regs[2] = 2;
  ASSERT_TRUE(cpu.OpMul(10, 1, 2));
  EXPECT_EQ(cpu.Regs[10], 0u);
  EXPECT_EQ(cpu.Regs[11], 1u);
  cpu.Regs[3] = kMax;
  ASSERT_TRUE(cpu.OpMul(3, 3, 3));  // (2^128 - 1)^2 = 2^256 - 2^129 + 1
  EXPECT_EQ(cpu.Regs[3], 1u);
  EXPECT_EQ(cpu.Regs[4], kMax - 1);
  cpu.Regs[5] = MakeValue128(0x1234, 0xFFFFFFFFFFFFFFFFull);
  cpu.Regs[6] = MakeValue128(0, 0xFFFFFFFFFFFFFFFFull);
  ASSERT_TRUE(cpu.OpMul(7, 5, 6));
  EXPECT_EQ(cpu.Regs[7], cpu.Regs[5] * cpu.Regs[6]);
  EXPECT_EQ(cpu.Regs[8], 0x1234u);  // 0x1235 * 2^128 less a borrow from below
}

TEST_F(CoreDataOpsTest, MulAndDivIntoRegister255AndDivisionByZeroFailWithNothingChanged) {
  cpu.Regs[1] = 6;
  cpu.Regs[2] = 3;
  const std::string before = Snapshot();
  EXPECT_FALSE(cpu.OpMul(255, 1, 2));
  EXPECT_FALSE(cpu.OpDiv(255, 1, 2));
  EXPECT_FALSE(cpu.OpDiv(4, 1, 3));
  EXPECT_FALSE(cpu.OpAdd(1, 2, 256));
  EXPECT_FALSE(cpu.OpCopy(-1, 2));
  EXPECT_EQ(Snapshot(), before);
  EXPECT_TRUE(cpu.OpMul(254, 1, 2));
}

TEST_F(CoreDataOpsTest, MemoryOperandsStayWhollyInsideMemory) {
  cpu.Regs[2] = 100;
  cpu.Regs[3] = 0x0102;
  ASSERT_TRUE(cpu.OpCopyRegMem(0, 2, 3));
  cpu.Regs[6] = kMemBytes - 15;
  cpu.Regs[7] = (Value128{1} << 32) + 100;  // the high bits do not reach memory
  ASSERT_TRUE(cpu.OpCopyMemReg(8, 0, 7));
  EXPECT_EQ(cpu.Regs[8], MemValue(100));
  const std::string before = Snapshot();
  EXPECT_FALSE(cpu.OpCopyRegMem(0, 6, 3));
  EXPECT_FALSE(cpu.OpCopyMemReg(9, 0, 6));
  EXPECT_FALSE(cpu.OpCopyMemMem(6, 0, 2));
  EXPECT_FALSE(cpu.OpCopyMemMem(2, 0, 6));
  EXPECT_EQ(Snapshot(), before);
}

// A destination one byte above its source takes the source's first byte sixteen
// times, as a byte-by-byte move upwards gives; one byte below is a plain copy. The
// same through a step and inline in a run.
TEST_F(CoreDataOpsTest, MemMemJustAboveItsSourceRepeatsTheFirstByte) {
  for (const bool inRun : {false, true}) {
    cpu.Reset();
    for (uint32_t i = 0; i < 18; ++i) {
      cpu.Memory[0x200 + i] = static_cast<uint8_t>(1 + i);
      cpu.Memory[0x300 + i] = static_cast<uint8_t>(0x40 + i);
    }
    cpu.Regs[1] = 0x201;
    cpu.Regs[2] = 0x200;
    cpu.Regs[3] = 0x300;
    cpu.Regs[4] = 0x301;
    Put(0, {W(isa::MM, 1, 0, 2), W(isa::MM, 3, 0, 4)});
    if (inRun) {
      ASSERT_EQ(cpu.Run(2).Steps, 2u);
    } else {
      ASSERT_TRUE(cpu.Step());
      ASSERT_TRUE(cpu.Step());
    }
    for (uint32_t i = 0; i < 17; ++i) EXPECT_EQ(cpu.Memory[0x200 + i], 1) << inRun << " " << i;
    EXPECT_EQ(cpu.Memory[0x211], 18) << inRun;
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(cpu.Memory[0x300 + i], 0x41 + i) << inRun << " " << i;
    EXPECT_EQ(cpu.Memory[0x310], 0x50) << inRun;
  }
}

TEST_F(CoreDataOpsTest, SetIpContinuesAfterTheValueAndEditorLoadsMoveIp) {
  cpu.Regs[1] = 1000;
  Put(0, {W(0x05, 0, 2, TTALVOCPU::IP), W(0x06, 0, TTALVOCPU::IP, 1)});
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(cpu.Regs[2], 0u);  // GET IP: the address of the GET
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(S(TTALVOCPU::IP), 1004u);  // SET IP goes on after the value
  EXPECT_FALSE(cpu.OpGetSpecial(1, 10));
  EXPECT_FALSE(cpu.OpSetSpecial(10, 1));

  const RegBits five = RegBits::FromValue(5);
  ASSERT_TRUE(cpu.OpLoadImm(5, &five));
  EXPECT_EQ(cpu.Regs[5], 5u);
  EXPECT_EQ(S(TTALVOCPU::IP), 1024u);
  EXPECT_FALSE(cpu.OpLoadImm(5, nullptr));
  EXPECT_FALSE(cpu.OpLoadImm(256, &five));
}

}  // namespace
