#include "machine/devices.h"

#include <gtest/gtest.h>

#include <ctime>

#include "machine/headless_host.h"

namespace {

// Counts how often the devices set the device timer.
class ScreenAndTimerHost : public THeadlessHost {
 public:
  ScreenAndTimerHost() : THeadlessHost(100, 50) {}

  void SetDeviceTimer(uint32_t intervalMs, bool enabled) override {
    THeadlessHost::SetDeviceTimer(intervalMs, enabled);
    ++timerCalls;
  }

  int timerCalls = 0;
};

constexpr Value128 V(uint64_t high, uint64_t low) { return MakeValue128(high, low); }

// A pixel write: x and y in the high half, the 0x00BBGGRR colour at bit 32 of the low half.
constexpr Value128 PixelValue(uint64_t x, uint64_t y, uint64_t colour) {
  return V((x << 32) | y, colour << 32);
}

constexpr Value128 ClockValue(uint64_t year, uint64_t month, uint64_t day, uint64_t hour,
                              uint64_t minute, uint64_t second) {
  return V(second | minute << 8 | hour << 16 | day << 24 | month << 32, year);
}

int64_t SecondsOfDay(Value128 clock) {
  const uint64_t h = High64(clock);
  return static_cast<int64_t>(((h >> 16) & 0xFF) * 3600 + ((h >> 8) & 0xFF) * 60 + (h & 0xFF));
}

// --- screen -------------------------------------------------------------------------------

class VideoPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    video.Init();
    host.Screen().Clear(0x123456);
  }
  TVideoPort video;
  ScreenAndTimerHost host;
};

TEST_F(VideoPortTest, PlotsInPlotModeWithColourConvertedToRgb) {
  ASSERT_EQ(video.Control(V(0, 1), &host), 0);
  EXPECT_EQ(video.Write(PixelValue(7, 9, 0x00CCBBAA), &host), 0);
  EXPECT_EQ(host.Screen().Pixel(7, 9), 0x00AABBCCu);
  EXPECT_EQ(host.Screen().Pixel(8, 9), 0x123456u);
  // Bits above the 16-bit coordinates and the 24-bit colour are not part of them.
  EXPECT_EQ(video.Write(V((0xABCDull << 48) | (2ull << 32) | (0x7777ull << 16) | 3,
                          (0xEEull << 56) | (0x0000FFull << 32) | 0xFFFFFFFF),
                        &host),
            0);
  EXPECT_EQ(host.Screen().Pixel(2, 3), 0x00FF0000u);
}

TEST_F(VideoPortTest, DrawsNothingOutsidePlotMode) {
  for (uint64_t mode : {0ull, 3ull}) {
    video.Control(V(0, mode), &host);
    EXPECT_EQ(video.Write(PixelValue(1, 1, 0xFFFFFF), &host), 0);
    EXPECT_EQ(host.Screen().Pixel(1, 1), 0x123456u);
  }
  // The mode is the low half of the control value: H = 1 with L = 0 is no plot mode.
  video.Control(V(1, 0), &host);
  EXPECT_EQ(video.Write(PixelValue(1, 1, 0xFFFFFF), &host), 0);
  EXPECT_EQ(host.Screen().Pixel(1, 1), 0x123456u);
}

TEST_F(VideoPortTest, RefusesPointsBeyondTheSurfaceAndToleratesTheEdge) {
  video.Control(V(0, 1), &host);
  const uint64_t generation = host.Screen().Generation();
  EXPECT_EQ(video.Write(PixelValue(101, 0, 0xFFFFFF), &host), 1);
  EXPECT_EQ(video.Write(PixelValue(0xFFFF, 0xFFFF, 0xFFFF), &host), 1);
  EXPECT_EQ(video.Write(PixelValue(0, 51, 0xFFFFFF), &host), 2);
  EXPECT_EQ(host.Screen().Generation(), generation);
  // The edge itself passes the check but lies outside the surface.
  EXPECT_EQ(video.Write(PixelValue(100, 50, 0xFFFFFF), &host), 0);
  EXPECT_EQ(video.Write(PixelValue(99, 49, 0xFFFFFF), &host), 0);
  EXPECT_EQ(host.Screen().Pixel(99, 49), 0xFFFFFFu);
}

TEST_F(VideoPortTest, ClearsOnlyForControlTwoWithZeroHigh) {
  video.Control(V(1, 2), &host);
  EXPECT_EQ(host.Screen().Pixel(0, 0), 0x123456u);
  EXPECT_EQ(video.Control(V(0, 2), &host), 0);
  for (uint32_t pixel : host.Screen().Pixels()) ASSERT_EQ(pixel, 0u);
}

TEST_F(VideoPortTest, LatchesReadBackInTheirStoredOrder) {
  Value128 out = 0;
  video.SetAddress(V(1, 2));
  video.ReadAddress(out);
  EXPECT_EQ(out, V(2, 1));
  video.Control(V(3, 4), &host);
  video.ReadControl(out);
  EXPECT_EQ(out, V(4, 3));
  video.Write(V(5, 6), &host);
  video.ReadData(out);
  EXPECT_EQ(out, V(5, 6));
}

TEST_F(VideoPortTest, WithoutHostStoresTheLatchAndReportsFailure) {
  EXPECT_EQ(video.Control(V(0, 1), nullptr), -1);
  EXPECT_EQ(video.ControlLatch.First, 1u);
  EXPECT_EQ(video.Write(PixelValue(1, 1, 0xFF), nullptr), -1);
  Value128 out = 0;
  video.ReadData(out);
  EXPECT_EQ(out, PixelValue(1, 1, 0xFF));
}

// --- keyboard and mouse ---------------------------------------------------------------------

TEST(KeyboardTest, KeyIsReadOnceAndSignExtended) {
  TKeyboard keyboard;
  keyboard.Init();
  Value128 out = 1;
  keyboard.PendingKey = 'A';
  keyboard.Read(out);
  EXPECT_EQ(out, V(65, 0));
  keyboard.Read(out);
  EXPECT_EQ(out, 0u);
  keyboard.PendingKey = static_cast<int8_t>(0xB0);  // a GBK lead byte
  keyboard.Read(out);
  EXPECT_EQ(out, V(0xFFFFFFFFFFFFFFB0ull, 0));
}

TEST(KeyboardTest, ControlZeroDropsThePendingKey) {
  TKeyboard keyboard;
  keyboard.Init();
  keyboard.PendingKey = 13;
  keyboard.Control(V(0, 1));
  EXPECT_EQ(keyboard.PendingKey, 13);
  EXPECT_EQ(keyboard.ControlLatch.Value(), V(0, 1));
  keyboard.Control(0);
  EXPECT_EQ(keyboard.PendingKey, 0);
}

TEST(MouseTest, ReadPacksPositionAndConsumesTheButton) {
  TMouseThings mouse;
  mouse.Init();
  mouse.X = 3;
  mouse.Y = 4;
  mouse.Button = 1;
  Value128 out = 0;
  mouse.Read(out);
  EXPECT_EQ(out, V((3ull << 48) + (4ull << 32) + 1, 0));
  mouse.Read(out);
  EXPECT_EQ(out, V((3ull << 48) + (4ull << 32), 0));
  // Coordinates are taken modulo 2^16.
  mouse.X = -1;
  mouse.Y = 0x12345;
  mouse.Button = 4;
  mouse.Read(out);
  EXPECT_EQ(out, V((0xFFFFull << 48) + (0x2345ull << 32) + 4, 0));
}

TEST(MouseTest, ControlZeroClearsEverything) {
  TMouseThings mouse;
  mouse.Init();
  mouse.X = 10;
  mouse.Y = 20;
  mouse.Button = 2;
  mouse.Control(V(7, 8));
  EXPECT_EQ(mouse.ControlLatch.Value(), V(7, 8));
  EXPECT_EQ(mouse.Button, 2);
  mouse.Control(0);
  EXPECT_EQ(mouse.X, 0);
  EXPECT_EQ(mouse.Y, 0);
  EXPECT_EQ(mouse.Button, 0);
  EXPECT_EQ(mouse.ControlLatch.Value(), 0u);
}

// --- timer and clock ------------------------------------------------------------------------

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { timer.Init(); }
  TTimerThings timer;
  ScreenAndTimerHost host;
};

TEST_F(TimerTest, ControlSetsIntervalAndEnable) {
  EXPECT_EQ(timer.Control(V(500, 1), &host), 0);
  EXPECT_EQ(host.DeviceTimerInterval(), 500u);
  EXPECT_TRUE(host.DeviceTimerEnabled());
  timer.Control(V(500, 2), &host);
  EXPECT_FALSE(host.DeviceTimerEnabled());
  // Only the low 32 bits of H are the interval.
  timer.Control(V((1ull << 32) | 250, 1), &host);
  EXPECT_EQ(host.DeviceTimerInterval(), 250u);
  EXPECT_TRUE(host.DeviceTimerEnabled());
}

TEST_F(TimerTest, ControlZeroStopsTheTimerAndStatusReadsZero) {
  timer.Control(V(500, 1), &host);
  timer.Control(0, &host);
  EXPECT_EQ(host.DeviceTimerInterval(), 0u);
  EXPECT_FALSE(host.DeviceTimerEnabled());
  Value128 out = 1;
  EXPECT_EQ(timer.ReadStatus(out, &host), 0);
  EXPECT_EQ(out, 0u);
}

TEST_F(TimerTest, IntervalZeroIsNeverEnabled) {
  timer.Control(V(0, 1), &host);
  EXPECT_FALSE(host.DeviceTimerEnabled());
  EXPECT_EQ(timer.ControlLatch.Value(), V(0, 1));
  Value128 out = 0;
  timer.ReadStatus(out, &host);
  EXPECT_EQ(out, V(0, 0));
}

TEST_F(TimerTest, StatusReadsTheHostTimerIntoTheLatch) {
  host.SetDeviceTimer(40, true);
  Value128 out = 0;
  timer.ReadStatus(out, &host);
  EXPECT_EQ(out, V(40, 1));
  EXPECT_EQ(timer.ControlLatch.Value(), V(40, 1));
}

TEST_F(TimerTest, WithoutHostTheLatchIsStoredAndFailureReported) {
  EXPECT_EQ(timer.Control(V(1, 0), nullptr), -1);
  EXPECT_EQ(timer.ControlLatch.First, 1u);
  Value128 out = 5;
  EXPECT_EQ(timer.ReadStatus(out, nullptr), -1);
  EXPECT_EQ(out, 5u);
}

TEST_F(TimerTest, ClockReadGivesTheLocalTimeNow) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  Value128 out = 0;
  ASSERT_EQ(timer.ReadClock(out), 0);
  EXPECT_EQ(Low64(out), static_cast<uint64_t>(local.tm_year + 1900));
  EXPECT_EQ((High64(out) >> 32) & 0xFF, static_cast<uint64_t>(local.tm_mon + 1));
  EXPECT_EQ((High64(out) >> 24) & 0xFF, static_cast<uint64_t>(local.tm_mday));
  EXPECT_LE(SecondsOfDay(out) - (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec), 2);
  EXPECT_EQ(timer.Year, Low64(out));
  EXPECT_EQ(timer.Day, static_cast<uint64_t>(local.tm_mday));
}

TEST_F(TimerTest, ClockWriteNeedsLatchFirstWordOne) {
  timer.Control(V(500, 0), &host);
  timer.WriteClock(ClockValue(2001, 2, 3, 4, 5, 6));
  EXPECT_EQ(timer.Year, 0u);
  EXPECT_EQ(timer.ClockOffset.count(), 0);
}

TEST_F(TimerTest, ClockWriteMovesTheDeviceClockOnly) {
  timer.Control(V(1, 0), &host);
  const auto hostBefore = std::chrono::system_clock::now();
  timer.WriteClock(ClockValue(2001, 2, 3, 4, 5, 6));
  EXPECT_EQ(timer.Second, 6u);
  EXPECT_EQ(timer.Month, 2u);
  EXPECT_EQ(timer.Year, 2001u);
  // The host's clock runs on untouched.
  EXPECT_GE(std::chrono::system_clock::now(), hostBefore);

  Value128 out = 0;
  timer.ReadClock(out);
  EXPECT_EQ(Low64(out), 2001u);
  EXPECT_EQ(High64(out) >> 24, (2ull << 8) | 3);
  EXPECT_LE(SecondsOfDay(out) - (4 * 3600 + 5 * 60 + 6), 2);
  EXPECT_GE(SecondsOfDay(out) - (4 * 3600 + 5 * 60 + 6), 0);

  // Disabling the timer leaves the clock the guest set.
  timer.Control(0, &host);
  timer.ReadClock(out);
  EXPECT_EQ(Low64(out), 2001u);
}

TEST_F(TimerTest, ClockWriteKeepsTheValidHalf) {
  timer.Control(V(1, 0), &host);
  timer.WriteClock(ClockValue(2001, 2, 3, 4, 5, 6));
  Value128 out = 0;
  // A time of 25:00 is refused while the date is taken.
  timer.WriteClock(ClockValue(2004, 2, 29, 25, 0, 0));
  timer.ReadClock(out);
  EXPECT_EQ(Low64(out), 2004u);
  EXPECT_EQ(High64(out) >> 24, (2ull << 8) | 29);
  EXPECT_LE(SecondsOfDay(out) - (4 * 3600 + 5 * 60 + 6), 2);
  // 29 February of a common year and month 13 are refused while the time is taken.
  for (Value128 badDate : {ClockValue(2003, 2, 29, 12, 0, 0), ClockValue(2003, 13, 1, 12, 0, 0)}) {
    timer.WriteClock(badDate);
    timer.ReadClock(out);
    EXPECT_EQ(Low64(out), 2004u);
    EXPECT_LE(SecondsOfDay(out) - 12 * 3600, 2);
  }
}

TEST_F(TimerTest, ReadThenWriteBackKeepsTheClock) {
  timer.Control(V(1, 0), &host);
  Value128 out = 0;
  timer.ReadClock(out);
  timer.WriteClock(out);
  EXPECT_LT(std::chrono::abs(timer.ClockOffset), std::chrono::seconds(2));
}

// --- serial and parallel latches ------------------------------------------------------------

TEST(PortLatchesTest, SecondLatchSwapsTheHalves) {
  TComPort com;
  TLpt lpt;
  com.Init();
  lpt.Init();
  Value128 out = 0;
  com.Write2(V(1, 2));
  com.Read2(out);
  EXPECT_EQ(out, V(2, 1));
  com.Write1(V(1, 2));
  com.Read1(out);
  EXPECT_EQ(out, V(1, 2));
  lpt.Write3(V(3, 4));
  lpt.Read3(out);
  EXPECT_EQ(out, V(3, 4));
  lpt.Read1(out);
  EXPECT_EQ(out, 0u);
}

}  // namespace
