// The device timer of a run without a window keeps its interval whatever the program
// does, on a clock the test controls: time passes only as the program goes round its
// loop, each round a disk write that a real host takes long over, also after a warm-up
// of instructions that take no time, which grows the blocks to their largest.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "../common/scratch.h"
#include "machine/headless_host.h"
#include "program_words.h"

namespace {

using namespace program_words;

// The modelled time of one round of the loop, and the rounds the program makes: one
// second in all.
constexpr auto kRoundTime = std::chrono::microseconds(50);
constexpr uint64_t kRounds = 20000;

// Sets the timer going, counts R14 up to warmUpRounds, then writes a hard-disk byte per
// round; the timer's interrupt handler counts its ticks in R6.
Image SlowLoopProgram(uint32_t intervalMs, uint64_t warmUpRounds) {
  Image image;
  image.Load(1, 0).Load(2, 1).Load(3, kRounds).Load(4, MakeValue128(4, 0)).Load(5, 0).Load(7, 0x5A);
  image.Load(8, 0x2000).Emit(Word(Set, 0, SP, 8));
  image.Load(8, Value128{1} << kInterruptEnableBit).Emit(Word(Set, 0, ICW, 8));
  image.Load(8, 0x52).Load(9, MakeValue128(intervalMs, 1)).Emit(Word(Out, 0, 8, 9));
  image.Load(14, 0).Load(15, warmUpRounds).Load(16, Back(8));
  image.Emit(Word(Add, 14, 14, 2)).Emit(Word(Cmp, 0, 14, 15)).Emit(Word(JNQ, 0, 0, 16));
  image.Load(10, 0x31).Load(11, 0x30).Load(12, 0x32).Load(13, Back(20));
  image.Emit(Word(Out, 0, 10, 5)).Emit(Word(Out, 0, 11, 7)).Emit(Word(Out, 0, 12, 4));
  image.Emit(Word(Add, 1, 1, 2)).Emit(Word(Cmp, 0, 1, 3)).Emit(Word(JNQ, 0, 0, 13));
  image.Emit(Word(0xFF, 0, 0, 0));
  image.PadTo(6 * 256).Emit(Word(Inc, 0, 6, 6)).Emit(Word(IRet, 0, 0, 0));
  return image;
}

TEST(HeadlessRun, TheDeviceTimerTicksAboutOncePerIntervalInASlowLoop) {
  // Three instructions a warm-up round: a million grow the blocks to their largest.
  for (const auto& [intervalMs, warmUpRounds] :
       std::initializer_list<std::pair<uint32_t, uint64_t>>{{10, 1}, {1, 1}, {1, 1000000}}) {
    SCOPED_TRACE(std::to_string(intervalMs) + " ms, warm-up of " + std::to_string(warmUpRounds));
    TScratchFolder scratch;
    ASSERT_TRUE(SlowLoopProgram(intervalMs, warmUpRounds).WriteTo(scratch.File("bios.bin")));
    TTALVOCPU cpu;
    cpu.SettingPath = scratch.File("none.setting");
    const THeadlessHost::Clock::time_point start{};
    THeadlessHost host(64, 48, [&cpu, start] { return start + kRoundTime * static_cast<uint64_t>(cpu.Regs[1]); });
    cpu.Host = &host;
    cpu.LoadPortTable(DefaultPortTable());
    ASSERT_EQ(cpu.LoadBiosImage(scratch.File("bios.bin")), 0);
    cpu.Reset();
    cpu.HardDisk.FileName = scratch.File("disk.img");
    ASSERT_EQ(cpu.HardDisk.Open(), 0);

    const TTALVOCPU::TRunResult outcome = RunHeadless(cpu, host, UINT64_MAX);
    ASSERT_TRUE(outcome.Failed);
    ASSERT_EQ(cpu.Regs[1], kRounds);
    const uint64_t due = static_cast<uint64_t>(kRoundTime * kRounds / std::chrono::milliseconds(intervalMs));
    const uint64_t ticks = static_cast<uint64_t>(cpu.Regs[6]);
    EXPECT_GE(ticks, due * 6 / 10);
    EXPECT_LE(ticks, due * 14 / 10);
  }
}

}  // namespace
