// Fetch, decode, dispatch and the IP advance.

#include <vector>

#include "core_fixture.h"

namespace {

using CoreStepTest = CoreTest;

TEST_F(CoreStepTest, DecodesTheLittleEndianWordIntoOpcodeAndFields) {
  cpu.Memory[0] = 0x01;
  cpu.Memory[1] = 0x02;
  cpu.Memory[2] = 0x03;
  cpu.Memory[3] = 0x80;  // LD R3 with the immediate 1
  cpu.Memory[4] = 0x01;
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(cpu.LastOpText(), "80030201");
  EXPECT_EQ(cpu.Regs[3], 1u);
  EXPECT_EQ(S(TTALVOCPU::IP), 20u);

  cpu.Memory[20 + 3] = 0x80;
  cpu.Memory[20 + 4 + 15] = 0x80;  // top byte of the immediate
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(cpu.Regs[0], Value128{1} << 127);
}

TEST_F(CoreStepTest, OpcodesOutsideTheSetFailWithNothingChanged) {
  for (uint32_t opcode : {0x07u, 0x16u, 0x24u, 0x35u, 0x44u, 0x53u, 0x62u, 0x81u, 0xFFu}) {
    Put(0, {W(opcode, 1, 2, 3)});
    const std::string before = Snapshot();
    EXPECT_FALSE(cpu.Step()) << opcode;
    EXPECT_EQ(Snapshot(), before) << opcode;
  }
  Put(0, {W(0x15, 0, 0, 0)});  // JG, not taken
  EXPECT_TRUE(cpu.Step());
}

TEST_F(CoreStepTest, FetchUsesTheLowThirtyTwoBitsOfIpAndWrapsWithoutTouchingIs) {
  Put(8, {W(0x0C, 0, 0, 9)});  // SETF R9
  S(TTALVOCPU::IP) = (Value128{1} << 32) + 8;
  S(TTALVOCPU::IS) = 77;
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(cpu.Regs[9], ~Value128{0});

  Put(kMemBytes - 4, {0});  // NOP in the last word, reached through the high bits of IP
  S(TTALVOCPU::IP) = (~Value128{0} << 32) | (kMemBytes - 4);
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(S(TTALVOCPU::IP), (~Value128{0} << 32) | kMemBytes);
  S(TTALVOCPU::IP) = ~Value128{0} - 3;
  EXPECT_TRUE(cpu.AdvanceIP(4));
  EXPECT_EQ(S(TTALVOCPU::IP), 0u);
  EXPECT_EQ(S(TTALVOCPU::IS), 77u);
}

TEST_F(CoreStepTest, FetchesThatLeaveMemoryFailWithNothingChanged) {
  S(TTALVOCPU::IP) = kMemBytes - 2;
  std::string before = Snapshot();
  EXPECT_FALSE(cpu.Step());
  EXPECT_EQ(Snapshot(), before);
  for (uint32_t opcode : {0x80u, 0x34u}) {  // LD and FUNC need 16 more bytes
    Put(kMemBytes - 8, {W(opcode, 1, 0, 0)});
    S(TTALVOCPU::IP) = kMemBytes - 8;
    before = Snapshot();
    EXPECT_FALSE(cpu.Step()) << opcode;
    EXPECT_EQ(Snapshot(), before) << opcode;
  }
}

// What the window shows of the running machine: the last word fetched, the opcode
// of the last instruction that reached its operation, and how many words were fetched.
TEST_F(CoreStepTest, TheDisplayFieldsFollowTheSteps) {
  EXPECT_EQ(cpu.LastOpcodeText(), "");
  Put(0, {W(isa::Zero, 0, 0, 1), W(isa::SetF, 0, 0, 2), W(0x07, 0, 0, 0)});
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(cpu.LastOpText(), "0D000001");
  EXPECT_EQ(cpu.LastOpcodeText(), "0D");
  ASSERT_TRUE(cpu.Step());
  EXPECT_FALSE(cpu.Step());
  // An unknown opcode shows its word but reaches no operation.
  EXPECT_EQ(cpu.LastOpText(), "07000000");
  EXPECT_EQ(cpu.LastOpcodeText(), "0C");
  EXPECT_EQ(cpu.FetchedWords, 3u);
  S(TTALVOCPU::IP) = kMemBytes;
  EXPECT_FALSE(cpu.Step());
  EXPECT_EQ(cpu.LastOpText(), "07000000");
  EXPECT_EQ(cpu.FetchedWords, 3u);
}

}  // namespace
