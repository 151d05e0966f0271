// Port table entries read as unsigned numbers, DMA ranges that leave memory.

#include "core_fixture.h"

namespace {

class CorePortOpsTest : public CoreTest {
 protected:
  CorePortOpsTest() {
    for (int i = 0; i < 24; ++i) table[i] = 0x100 + i;
    cpu.LoadPortTable(table);
  }
  TPortTable table;
};

constexpr Value128 kTop = Value128{1} << 127;

TEST_F(CorePortOpsTest, NegativeTableEntriesMatchAsUnsigned32Bit) {
  table[9] = -1;
  cpu.LoadPortTable(table);
  cpu.Regs[1] = 0xFFFFFFFFu;
  cpu.Regs[2] = 42;
  ASSERT_TRUE(cpu.OpOut(1, 2));
  EXPECT_EQ(cpu.Lpt.Latch1.Value(), 42u);
}

TEST_F(CorePortOpsTest, DmaRangesThatLeaveMemoryFailWithNothingChangedAndZeroCountsAlwaysDo) {
  S(TTALVOCPU::DO) = 0;
  cpu.Regs[1] = kMemBytes - 2;
  cpu.Regs[2] = 0;
  cpu.Regs[3] = 4;
  cpu.Regs[4] = kTop | 1;  // below address 0
  cpu.Regs[5] = ~uint64_t{0};
  const std::string before = Snapshot();
  EXPECT_FALSE(cpu.OpDMA(1, 2, 3));
  EXPECT_FALSE(cpu.OpDMA(2, 1, 3));
  EXPECT_FALSE(cpu.OpDMA(4, 2, 3));
  EXPECT_FALSE(cpu.OpDMA(2, 2, 5));
  EXPECT_EQ(Snapshot(), before);
  cpu.Regs[6] = 0;
  EXPECT_TRUE(cpu.OpDMA(4, 5, 6));
}

}  // namespace
