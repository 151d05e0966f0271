// The interrupts example, built from its project by kelmoc and run in-process on a
// headless host whose clock the test moves: the timer set going, each timer tick and
// each key press goes through its interrupt and shows on the screen. Nothing waits on
// real time: the clock stands still between the moves the test makes.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "../common/run_tool.h"
#include "../common/scratch.h"
#include "machine/headless_host.h"
#include "machine/talvo_cpu.h"
#include "machine/text_views.h"

namespace fs = std::filesystem;

namespace {

const fs::path kExample = TALVO_SOURCE_DIR "/examples/interrupts";
// Enough for the main loop to redraw the square and the whole count several times.
constexpr uint64_t kSettleSteps = 200000;
constexpr auto kTimerInterval = std::chrono::milliseconds(100);
constexpr uint32_t kWhite = 0xFFFFFF, kGrey = 0x404040, kBlack = 0;
// Where the example keeps its state.
constexpr int kX = 10, kY = 11, kTicks = 20, kTimerStatus = 22;
// The count's cells: bit 0 at x = 120, each higher bit 8 pixels to the left, row 280.
constexpr int kCountRow = 280;
int CellX(int bit) { return 120 - 8 * bit; }

class InterruptsExample : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& entry : fs::directory_iterator(kExample))
      fs::copy_file(entry.path(), scratch_.Path / entry.path().filename());
    const TToolOutput built = RunTool({kKelmoc, "project", scratch_.File("interrupts.tvxPrj")});
    ASSERT_EQ(built.Exit, 0) << built.Text;
    cpu_.Host = &host_;
    cpu_.SettingPath = scratch_.File("none.setting");
    cpu_.LoadPortTable(DefaultPortTable());
    ASSERT_EQ(cpu_.LoadBiosImage(scratch_.File("interrupts.tvxbin")), 0);
    cpu_.Reset();
    Settle();
  }

  void Settle() {
    const TTALVOCPU::TRunResult outcome = RunHeadless(cpu_, host_, kSettleSteps);
    ASSERT_FALSE(outcome.Failed) << "IP " << Hex128Text(*cpu_.GetSpecialRegBits(TTALVOCPU::IP));
    // Back in the main loop, with no handler left on the stack.
    ASSERT_EQ(*cpu_.GetSpecialRegBits(TTALVOCPU::SP), 0x100000u);
  }

  // A key as the simulator's window gives it: stored, and interrupt 2 raised.
  void Press(char key) {
    cpu_.Keyboard.PendingKey = static_cast<int8_t>(key);
    ASSERT_EQ(cpu_.RaiseHardwareInterrupt(2), 0);
  }

  uint32_t Pixel(uint64_t x, uint64_t y) { return host_.Screen().Pixel(static_cast<int>(x), static_cast<int>(y)); }

  // The 16-pixel square is white at (x, y), and the square it moved from is gone: the
  // corner of it on the side the square moved away from.
  void ExpectSquareAt(uint64_t x, uint64_t y, uint64_t oldX, uint64_t oldY) {
    EXPECT_EQ(cpu_.Regs[kX], x);
    EXPECT_EQ(cpu_.Regs[kY], y);
    EXPECT_EQ(Pixel(x, y), kWhite);
    EXPECT_EQ(Pixel(x + 15, y + 15), kWhite);
    if (oldX != x || oldY != y) {
      EXPECT_EQ(Pixel(oldX > x ? oldX + 15 : oldX, oldY > y ? oldY + 15 : oldY), kBlack);
    }
  }

  void ExpectCountShown(uint64_t count) {
    EXPECT_EQ(cpu_.Regs[kTicks], count);
    for (int bit = 0; bit < 16; ++bit)
      EXPECT_EQ(Pixel(CellX(bit), kCountRow), (count >> bit & 1) != 0 ? kWhite : kGrey) << "bit " << bit;
  }

  TScratchFolder scratch_;
  THeadlessHost::Clock::time_point now_{};
  THeadlessHost host_{640, 480, [this] { return now_; }};
  TTALVOCPU cpu_;
};

TEST_F(InterruptsExample, EachTickIsCountedAndEachKeyMovesTheSquare) {
  EXPECT_EQ(host_.DeviceTimerInterval(), 100u);
  EXPECT_TRUE(host_.DeviceTimerEnabled());
  EXPECT_EQ(cpu_.Regs[kTimerStatus], MakeValue128(100, 1)) << "the timer read back: 100 ms, running";
  struct TStep {
    char Key;   // pressed, or 0
    int Ticks;  // timer intervals that pass
    uint64_t X, Y;
  };
  // A tick, a key, then both at once: the key's handler is entered first and the
  // timer's interrupts it at once; the entries keep their jump register apart. Right,
  // down, left, up, and a key it does not use.
  const TStep steps[] = {{0, 0, 96, 96},    {0, 1, 96, 96},    {'d', 0, 104, 96}, {'s', 1, 104, 104},
                         {'a', 1, 96, 104}, {'w', 1, 96, 96}, {'x', 1, 96, 96}};
  uint64_t x = 96, y = 96, ticks = 0;
  for (const TStep& step : steps) {
    SCOPED_TRACE(&step - steps);
    if (step.Key != 0) Press(step.Key);
    now_ += step.Ticks * kTimerInterval;
    Settle();
    ExpectSquareAt(step.X, step.Y, x, y);
    ExpectCountShown(ticks += static_cast<uint64_t>(step.Ticks));
    x = step.X;
    y = step.Y;
  }
  for (int i = 0; i < 13; ++i) {
    Press('a');
    Settle();
  }
  EXPECT_EQ(cpu_.Regs[kX], 504u) << "the square leaves on the left and comes in on the right";
  EXPECT_EQ(Pixel(504, 96), kWhite);
}

}  // namespace
