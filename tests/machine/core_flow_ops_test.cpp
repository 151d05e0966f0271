// Comparison, jumps, calls, software and device interrupts, the stack.

#include "core_fixture.h"
#include "machine/reg_bits.h"

namespace {

using CoreFlowOpsTest = CoreTest;
constexpr Value128 kMax = ~Value128{0};
constexpr Value128 kTop = Value128{1} << 127;
constexpr Value128 kInterruptsOn = Value128{1} << TTALVOCPU::InterruptEnableBit;

TEST_F(CoreFlowOpsTest, CmpSetsExactlyOneOfLessEqualGreaterAndKeepsOtherFlags) {
  S(TTALVOCPU::PSW) = Value128{1} << TTALVOCPU::CarryBit;
  const struct { Value128 x, y; int bit; } cases[] = {
      {5, 5, TTALVOCPU::EqualBit}, {kTop, 1, TTALVOCPU::GreaterBit}, {1, 2, TTALVOCPU::LessBit}};
  for (const auto& c : cases) {
    cpu.Regs[1] = c.x;
    cpu.Regs[2] = c.y;
    const Value128 ip = S(TTALVOCPU::IP);
    ASSERT_TRUE(cpu.OpCmp(1, 2));
    EXPECT_EQ(S(TTALVOCPU::PSW), Value128{1} << TTALVOCPU::CarryBit | Value128{1} << c.bit);
    EXPECT_EQ(S(TTALVOCPU::IP), ip + 4);
  }
}

TEST_F(CoreFlowOpsTest, ConditionalJumpsAreRelativeToThemselvesAndWrap) {
  S(TTALVOCPU::IP) = 100;
  cpu.Regs[1] = 12;
  cpu.Regs[2] = kMax - 3;  // -4
  cpu.Regs[3] = 1;
  ASSERT_TRUE(cpu.OpJQ(0, 1));  // equal clear: next word
  EXPECT_EQ(S(TTALVOCPU::IP), 104u);
  S(TTALVOCPU::PSW) = Value128{1} << TTALVOCPU::EqualBit;
  ASSERT_TRUE(cpu.OpJQ(3, 1));
  EXPECT_EQ(S(TTALVOCPU::IP), 116u);
  EXPECT_EQ(S(TTALVOCPU::IS), 1u);
  ASSERT_TRUE(cpu.OpJQ(0, 2));
  EXPECT_EQ(S(TTALVOCPU::IP), 112u);
  ASSERT_TRUE(cpu.OpJNQ(0, 1));
  EXPECT_EQ(S(TTALVOCPU::IP), 116u);
  S(TTALVOCPU::PSW) = Value128{1} << TTALVOCPU::LessBit;
  ASSERT_TRUE(cpu.OpJG(0, 1));
  EXPECT_EQ(S(TTALVOCPU::IP), 120u);
  ASSERT_TRUE(cpu.OpJL(0, 1));
  EXPECT_EQ(S(TTALVOCPU::IP), 132u);
  ASSERT_TRUE(cpu.OpJmp(3, 1));
  EXPECT_EQ(S(TTALVOCPU::IP), 12u);
  EXPECT_EQ(S(TTALVOCPU::IS), 1u);
}

TEST_F(CoreFlowOpsTest, CallTakesSignMagnitudeOffsetsAndRetReturnsAfterIt) {
  S(TTALVOCPU::IP) = 200;
  S(TTALVOCPU::SP) = 1000;
  S(TTALVOCPU::IS) = 5;
  cpu.Regs[1] = kTop | 8;  // minus 8
  ASSERT_TRUE(cpu.OpCall(0, 1));
  EXPECT_EQ(S(TTALVOCPU::IP), 192u);
  EXPECT_EQ(S(TTALVOCPU::SP), 1032u);
  EXPECT_EQ(MemValue(1000), 204u);
  EXPECT_EQ(MemValue(1016), 5u);
  ASSERT_TRUE(cpu.OpRet());
  EXPECT_EQ(S(TTALVOCPU::IP), 204u);
  EXPECT_EQ(S(TTALVOCPU::IS), 5u);
  EXPECT_EQ(S(TTALVOCPU::SP), 1000u);

  const RegBits forward = RegBits::FromValue(40);
  ASSERT_TRUE(cpu.OpFunc(&forward));  // FUNC is 20 bytes long
  EXPECT_EQ(S(TTALVOCPU::IP), 244u);
  EXPECT_EQ(MemValue(1000), 224u);
  EXPECT_FALSE(cpu.OpFunc(nullptr));
}

TEST_F(CoreFlowOpsTest, IntEntersAtEightTimesItsNumberAndIretRestoresPsw) {
  Put(40, {W(0x32, 0, 0, 1)});  // INT R1
  Put(24, {W(0x0D, 0, 0, 6), W(0x33, 0, 0, 0)});  // handler: ZERO R6, IRET
  S(TTALVOCPU::IP) = 40;
  S(TTALVOCPU::SP) = 500;
  S(TTALVOCPU::PSW) = 0x77;
  cpu.Regs[1] = 3;
  cpu.Regs[6] = 9;
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(S(TTALVOCPU::IP), 24u);
  S(TTALVOCPU::PSW) = 0;
  ASSERT_TRUE(cpu.Step());
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(cpu.Regs[6], 0u);
  EXPECT_EQ(S(TTALVOCPU::IP), 44u);
  EXPECT_EQ(S(TTALVOCPU::PSW), 0x77u);
  EXPECT_EQ(S(TTALVOCPU::SP), 500u);
}

TEST_F(CoreFlowOpsTest, PushAndPopUseSixteenByteEntriesGrowingUpwards) {
  S(TTALVOCPU::SP) = 100;
  S(TTALVOCPU::SS) = 3;
  cpu.Regs[1] = MakeValue128(0x1122, 0x3344);
  ASSERT_TRUE(cpu.OpPush(1));
  EXPECT_EQ(S(TTALVOCPU::SP), 116u);
  EXPECT_EQ(S(TTALVOCPU::SS), 3u);
  EXPECT_EQ(MemValue(100), cpu.Regs[1]);
  ASSERT_TRUE(cpu.OpPop(2));
  EXPECT_EQ(cpu.Regs[2], cpu.Regs[1]);
  EXPECT_EQ(S(TTALVOCPU::SP), 100u);
  EXPECT_EQ(S(TTALVOCPU::SS), 0u);

  S(TTALVOCPU::SP) = 16;
  ASSERT_TRUE(cpu.OpPop(3));  // reads address 0
  S(TTALVOCPU::SP) = 8;
  const std::string before = Snapshot();
  EXPECT_FALSE(cpu.OpPop(3));
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(CoreFlowOpsTest, StackOperationsThatLeaveMemoryChangeNothing) {
  S(TTALVOCPU::IP) = 64;
  S(TTALVOCPU::SP) = kMemBytes - 24;  // room for one entry, not two or three
  cpu.Regs[1] = 8;
  std::string before = Snapshot();
  EXPECT_FALSE(cpu.OpCall(0, 1));
  EXPECT_FALSE(cpu.OpInt(1));
  EXPECT_EQ(Snapshot(), before);
  EXPECT_TRUE(cpu.OpPush(1));
  EXPECT_FALSE(cpu.OpPush(1));

  S(TTALVOCPU::SP) = 32;  // two entries: RET fits, IRET's third pop would not
  before = Snapshot();
  EXPECT_FALSE(cpu.OpIRet());
  EXPECT_EQ(Snapshot(), before);
  S(TTALVOCPU::SP) = (Value128{1} << 64) + 48;  // the pop address comes from the low 64 bits
  EXPECT_TRUE(cpu.OpPop(2));
  S(TTALVOCPU::SP) = kMemBytes + 16;
  EXPECT_FALSE(cpu.OpPop(2));
}

TEST_F(CoreFlowOpsTest, DeviceInterruptsWaitForTheNextStepAndNeedIcwBit121) {
  EXPECT_EQ(cpu.RaiseHardwareInterrupt(2), TTALVOCPU::InterruptsDisabled);
  S(TTALVOCPU::ICW) = kInterruptsOn;
  EXPECT_EQ(cpu.RaiseHardwareInterrupt(300), 0);  // out of range: nothing
  S(TTALVOCPU::IP) = 8;
  S(TTALVOCPU::SP) = 1024;
  S(TTALVOCPU::PSW) = 0x55;
  EXPECT_EQ(cpu.RaiseHardwareInterrupt(2), 0);
  EXPECT_EQ(S(TTALVOCPU::IP), 8u);  // nothing happens until the stepping thread steps
  Put(512, {W(0x33, 0, 0, 0)});  // IRET at 2 x 256
  ASSERT_TRUE(cpu.Step());       // delivers, then runs the handler's IRET
  EXPECT_EQ(S(TTALVOCPU::IP), 8u);  // back at the instruction that had not run yet
  EXPECT_EQ(S(TTALVOCPU::PSW), 0x55u);
  EXPECT_EQ(S(TTALVOCPU::SP), 1024u);

  // Pending while disabled; two pending go lowest number first, one per step.
  EXPECT_EQ(cpu.RaiseHardwareInterrupt(6), 0);
  EXPECT_EQ(cpu.RaiseHardwareInterrupt(1), 0);
  S(TTALVOCPU::ICW) = 0;
  ASSERT_TRUE(cpu.Step());  // NOP at 8
  EXPECT_EQ(S(TTALVOCPU::IP), 12u);
  S(TTALVOCPU::ICW) = kInterruptsOn;
  ASSERT_TRUE(cpu.Step());  // enters 1 at 256 and runs its NOP
  EXPECT_EQ(S(TTALVOCPU::IP), 260u);
  ASSERT_TRUE(cpu.Step());  // enters 6 at 1536 and runs its NOP
  EXPECT_EQ(S(TTALVOCPU::IP), 1540u);
  EXPECT_EQ(S(TTALVOCPU::SP), 1024u + 6 * 16);
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(S(TTALVOCPU::IP), 1544u);

  cpu.RaiseHardwareInterrupt(3);
  cpu.Reset();  // a reset drops what was pending
  S(TTALVOCPU::ICW) = kInterruptsOn;
  ASSERT_TRUE(cpu.Step());
  EXPECT_EQ(S(TTALVOCPU::IP), 4u);
}

}  // namespace
