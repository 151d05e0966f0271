#include "machine/devices.h"

#include <gtest/gtest.h>

#include <chrono>
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

using HostTime = std::chrono::system_clock::time_point;

// The host's clock as the timer tests set it.
HostTime hostNow;
HostTime HostNow() { return hostNow; }

// The host's time at a local date and time and some milliseconds after it.
HostTime LocalTime(int year, int month, int day, int hour, int minute, int second, int ms) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(ms);
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
  void SetUp() override {
    timer.Init();
    timer.HostClock = &HostNow;
    hostNow = LocalTime(2024, 5, 6, 7, 8, 9, 500);
  }
  Value128 ReadClock() {
    Value128 out = 0;
    EXPECT_EQ(timer.ReadClock(out), 0);
    return out;
  }
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

TEST_F(TimerTest, ClockReadGivesTheHostsLocalTimeToTheSecond) {
  EXPECT_EQ(ReadClock(), ClockValue(2024, 5, 6, 7, 8, 9));
  EXPECT_EQ(timer.Year, 2024u);
  EXPECT_EQ(timer.Month, 5u);
  EXPECT_EQ(timer.Day, 6u);
  EXPECT_EQ(timer.Hour, 7u);
  EXPECT_EQ(timer.Minute, 8u);
  EXPECT_EQ(timer.Second, 9u);
}

TEST_F(TimerTest, ClockWriteNeedsLatchFirstWordOne) {
  timer.Control(V(500, 0), &host);
  timer.WriteClock(ClockValue(2001, 2, 3, 4, 5, 6));
  EXPECT_EQ(timer.Year, 0u);
  EXPECT_EQ(ReadClock(), ClockValue(2024, 5, 6, 7, 8, 9));
}

// The clock the guest set runs on with the host's, from the whole second it was
// given, and stays when the timer is disabled.
TEST_F(TimerTest, ClockWriteSetsTheDeviceClockWhichRunsOn) {
  timer.Control(V(1, 0), &host);
  timer.WriteClock(ClockValue(2001, 2, 3, 4, 5, 6));
  EXPECT_EQ(timer.Second, 6u);
  EXPECT_EQ(timer.Month, 2u);
  EXPECT_EQ(timer.Year, 2001u);
  EXPECT_EQ(ReadClock(), ClockValue(2001, 2, 3, 4, 5, 6));
  hostNow += std::chrono::milliseconds(10400);
  EXPECT_EQ(ReadClock(), ClockValue(2001, 2, 3, 4, 5, 16));
  timer.Control(0, &host);
  EXPECT_EQ(ReadClock(), ClockValue(2001, 2, 3, 4, 5, 16));
}

TEST_F(TimerTest, ClockWriteKeepsTheValidHalf) {
  timer.Control(V(1, 0), &host);
  timer.WriteClock(ClockValue(2001, 2, 3, 4, 5, 6));
  // A time of 25:00 is refused while the date is taken.
  timer.WriteClock(ClockValue(2004, 2, 29, 25, 0, 0));
  EXPECT_EQ(ReadClock(), ClockValue(2004, 2, 29, 4, 5, 6));
  // 29 February of a common year and month 13 are refused while the time is taken.
  for (Value128 badDate : {ClockValue(2003, 2, 29, 12, 0, 0), ClockValue(2003, 13, 1, 12, 0, 0)}) {
    timer.WriteClock(badDate);
    EXPECT_EQ(ReadClock(), ClockValue(2004, 2, 29, 12, 0, 0));
  }
}

// Written back, the clock starts again from the whole second it read.
TEST_F(TimerTest, ReadThenWriteBackKeepsTheClock) {
  timer.Control(V(1, 0), &host);
  timer.WriteClock(ReadClock());
  hostNow += std::chrono::seconds(1);
  EXPECT_EQ(ReadClock(), ClockValue(2024, 5, 6, 7, 8, 10));
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
