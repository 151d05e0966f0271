// Stack entries that leave memory and device interrupts; the programs in
// tests/programs run the jumps, calls and software interrupts end to end.

#include "core_fixture.h"
#include "machine/reg_bits.h"

namespace {

using CoreFlowOpsTest = CoreTest;
constexpr Value128 kInterruptsOn = Value128{1} << isa::kInterruptEnableBit;

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
  EXPECT_FALSE(cpu.OpFunc(nullptr));
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
