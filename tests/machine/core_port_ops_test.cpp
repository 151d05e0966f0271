// Port matching, device reads and writes through IN and OUT, DMA.

#include "core_fixture.h"

namespace {

class CorePortOpsTest : public CoreTest {
 protected:
  CorePortOpsTest() {
    for (int i = 0; i < 24; ++i) table[i] = 0x100 + i;
    cpu.LoadPortTable(table);
  }
  int32_t table[24];
};

constexpr Value128 kTop = Value128{1} << 127;

TEST_F(CorePortOpsTest, TheFirstEntryInMatchOrderWinsAndWidePortsMatchNothing) {
  table[13] = 7;
  table[8] = 7;
  cpu.LoadPortTable(table);
  cpu.Regs[1] = 7;
  cpu.Regs[2] = MakeValue128(1, 2);
  ASSERT_TRUE(cpu.OpOut(1, 2));
  EXPECT_EQ(cpu.ComPort.Latch3.Value(), cpu.Regs[2]);
  EXPECT_EQ(cpu.ComPort.Latch1.Value(), 0u);
  ASSERT_TRUE(cpu.OpIn(1, 3));
  EXPECT_EQ(cpu.Regs[3], cpu.Regs[2]);

  cpu.Regs[4] = (Value128{1} << 32) + 7;
  cpu.Regs[5] = 99;
  cpu.ComPort.Latch3.Clear();
  ASSERT_TRUE(cpu.OpOut(4, 2));
  ASSERT_TRUE(cpu.OpIn(4, 5));
  EXPECT_EQ(cpu.ComPort.Latch3.Value(), 0u);
  EXPECT_EQ(cpu.Regs[5], 99u);  // no match leaves the destination
  EXPECT_EQ(S(TTALVOCPU::IP), 16u);
}

TEST_F(CorePortOpsTest, NegativeTableEntriesMatchAsUnsigned32Bit) {
  table[9] = -1;
  cpu.LoadPortTable(table);
  cpu.Regs[1] = 0xFFFFFFFFu;
  cpu.Regs[2] = 42;
  ASSERT_TRUE(cpu.OpOut(1, 2));
  EXPECT_EQ(cpu.Lpt.Latch1.Value(), 42u);
}

TEST_F(CorePortOpsTest, KeyboardEntryTakesThePendingKeyOnceAndInputOnlyEntriesIgnoreOut) {
  cpu.Keyboard.PendingKey = 'A';
  cpu.Regs[1] = 0x100 + 15;
  ASSERT_TRUE(cpu.OpOut(1, 1));  // the key port takes no output
  EXPECT_EQ(cpu.Keyboard.PendingKey, 'A');
  ASSERT_TRUE(cpu.OpIn(1, 2));
  EXPECT_EQ(High64(cpu.Regs[2]), static_cast<uint64_t>('A'));
  ASSERT_TRUE(cpu.OpIn(1, 2));
  EXPECT_EQ(cpu.Regs[2], 0u);
  cpu.Regs[3] = 0x100 + 16;  // keyboard entry without a read: the destination stays
  cpu.Regs[4] = 5;
  ASSERT_TRUE(cpu.OpIn(3, 4));
  EXPECT_EQ(cpu.Regs[4], 5u);
}

TEST_F(CorePortOpsTest, ScreenWritesPlotOnTheHostAndHeadlessRunsGoOn) {
  cpu.Regs[1] = 0x100 + 10;  // screen control
  cpu.Regs[2] = 1;          // mode: plot
  cpu.Regs[3] = 0x100 + 5;  // screen data
  ASSERT_TRUE(cpu.OpOut(1, 2));
  cpu.Regs[4] = MakeValue128(uint64_t{2} << 32 | 3, uint64_t{0x0000FF} << 32);  // x 2, y 3, red
  ASSERT_TRUE(cpu.OpOut(3, 4));
  EXPECT_EQ(host.surface.Pixel(2, 3), 0xFF0000u);
  cpu.Host = nullptr;
  EXPECT_TRUE(cpu.OpOut(3, 4));
}

TEST_F(CorePortOpsTest, DmaCopiesRelativeToDoWithSignedOffsets) {
  for (int i = 0; i < 4; ++i) cpu.Memory[1016 + i] = static_cast<uint8_t>(10 + i);
  S(TTALVOCPU::DO) = 1000;
  cpu.Regs[1] = kTop | 8;  // destination 992
  cpu.Regs[2] = 16;        // source 1016
  cpu.Regs[3] = 4;
  ASSERT_TRUE(cpu.OpDMA(1, 2, 3));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(cpu.Memory[992 + i], 10 + i);

  cpu.Regs[1] = 17;  // overlapping, destination one above the source: the first byte repeats
  ASSERT_TRUE(cpu.OpDMA(1, 2, 3));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(cpu.Memory[1017 + i], 10);
  cpu.Regs[1] = 15;  // destination below: a plain move
  cpu.Memory[1016] = 1;
  ASSERT_TRUE(cpu.OpDMA(1, 2, 3));
  EXPECT_EQ(cpu.Memory[1015], 1);
  EXPECT_EQ(cpu.Memory[1018], 10);
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
