// The interrupts example: built from its project by kelmoc, it runs through talvorun
// into its main loop with the timer set and device interrupts on; run in-process on a
// headless host whose clock the test moves, each timer tick and each key press goes
// through its interrupt and shows on the screen. Nothing waits on real time: the
// clock stands still between the moves the test makes.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "../common/run_tool.h"
#include "../common/scratch.h"
#include "isa/special_registers.h"
#include "machine/headless_host.h"
#include "machine/talvo_cpu.h"
#include "machine/text_views.h"
#include "talvorun_report.h"

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

// The example built in a scratch folder; the image's path, or empty with the reason.
std::string BuildExample(const TScratchFolder& scratch, std::string& why) {
  for (const auto& entry : fs::directory_iterator(kExample)) fs::copy_file(entry.path(), scratch.Path / entry.path().filename());
  const TToolOutput built = RunTool({kKelmoc, "project", scratch.File("interrupts.tvxPrj")});
  why = built.Text;
  return built.Exit == 0 ? scratch.File("interrupts.tvxbin") : std::string();
}

TEST(InterruptsExample, BuildsAndRunsThroughTalvorunIntoItsMainLoop) {
  TScratchFolder scratch;
  std::string why;
  const std::string image = BuildExample(scratch, why);
  ASSERT_FALSE(image.empty()) << why;
  const TToolOutput ran = RunTool({kTalvorun, "--steps", std::to_string(kSettleSteps), image});
  ASSERT_EQ(ran.Exit, 0) << ran.Text;
  const TTalvorunReport report = ReadTalvorunReport(ran.Text);
  ASSERT_TRUE(report.Read) << ran.Text;
  // Ticks may come or not in a run on the host's clock; none of these depends on them.
  EXPECT_FALSE(report.Failed) << ran.Text;
  EXPECT_EQ(report.Register("ICW"), Value128{1} << isa::kInterruptEnableBit);
  EXPECT_EQ(report.Register("R22"), MakeValue128(100, 1)) << "the timer read back: 100 ms, running";
  EXPECT_EQ(report.Register("R10"), 96u);
  EXPECT_EQ(report.Register("R11"), 96u);
}

class InterruptsExampleRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    const std::string image = BuildExample(scratch_, why);
    ASSERT_FALSE(image.empty()) << why;
    cpu_.Host = &host_;
    cpu_.SettingPath = scratch_.File("none.setting");
    cpu_.LoadPortTable(DefaultPortTable());
    ASSERT_EQ(cpu_.LoadBiosImage(image), 0);
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

  uint32_t Pixel(int x, int y) { return host_.Screen().Pixel(x, y); }

  // The 16-pixel square is white at (x, y), and the square it moved from is gone.
  void ExpectSquareAt(uint64_t x, uint64_t y, uint64_t oldX, uint64_t oldY) {
    EXPECT_EQ(cpu_.Regs[kX], x);
    EXPECT_EQ(cpu_.Regs[kY], y);
    const int left = static_cast<int>(x), top = static_cast<int>(y);
    EXPECT_EQ(Pixel(left, top), kWhite);
    EXPECT_EQ(Pixel(left + 15, top + 15), kWhite);
    if (oldX == x && oldY == y) return;
    // A pixel of the old square on the side the square moved away from.
    const int oldLeft = static_cast<int>(oldX), oldTop = static_cast<int>(oldY);
    const int awayX = oldX > x ? oldLeft + 15 : oldLeft, awayY = oldY > y ? oldTop + 15 : oldTop;
    EXPECT_EQ(Pixel(awayX, awayY), kBlack);
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

TEST_F(InterruptsExampleRun, StartsWithTheTimerRunningTheSquareDrawnAndTheCountAtZero) {
  EXPECT_EQ(host_.DeviceTimerInterval(), 100u);
  EXPECT_TRUE(host_.DeviceTimerEnabled());
  EXPECT_EQ(cpu_.Regs[kTimerStatus], MakeValue128(100, 1));
  ExpectSquareAt(96, 96, 96, 96);
  ExpectCountShown(0);
}

TEST_F(InterruptsExampleRun, EachTimerTickIsCountedAndShown) {
  for (uint64_t ticks = 1; ticks <= 5; ++ticks) {
    SCOPED_TRACE(ticks);
    now_ += kTimerInterval;
    Settle();
    ExpectCountShown(ticks);
  }
}

TEST_F(InterruptsExampleRun, EachKeyMovesTheSquareAndOtherKeysDoNot) {
  struct TStep {
    char Key;
    uint64_t X, Y;
  };
  // Right, down, left, up, and a key it does not use.
  const TStep steps[] = {{'d', 104, 96}, {'s', 104, 104}, {'a', 96, 104}, {'w', 96, 96}, {'x', 96, 96}};
  uint64_t x = 96, y = 96;
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Key);
    Press(step.Key);
    Settle();
    ExpectSquareAt(step.X, step.Y, x, y);
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

TEST_F(InterruptsExampleRun, AKeyAndATickTogetherBothGetThrough) {
  // Both wait when the step comes: the key's handler is entered first and the timer's
  // interrupts it at once; the entries keep their jump register apart.
  Press('d');
  now_ += kTimerInterval;
  Settle();
  ExpectSquareAt(104, 96, 96, 96);
  ExpectCountShown(1);
}

}  // namespace
