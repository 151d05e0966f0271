#pragma once
// The window of a run that has none (talvorun, tests, benchmarks): the screen is a
// pixel surface nobody shows, the device timer keeps its interval and ticks by the
// host's clock when asked, and no inspection window opens.

#include <chrono>
#include <cstdint>
#include <functional>
#include <utility>

#include "machine/core_host.h"
#include "machine/talvo_cpu.h"

class THeadlessHost : public CoreHost {
 public:
  using Clock = std::chrono::steady_clock;
  // What the host takes for the time now: the steady clock, or one a test controls.
  using TimeSource = std::function<Clock::time_point()>;

  THeadlessHost(int width, int height, TimeSource now = Clock::now) : now_(std::move(now)) {
    screen_.Resize(width, height);
  }

  PixelSurface& Screen() override { return screen_; }
  void SetDeviceTimer(uint32_t intervalMs, bool enabled) override;
  uint32_t DeviceTimerInterval() const override { return interval_; }
  bool DeviceTimerEnabled() const override { return enabled_; }
  void SetInstructionTimerEnabled(bool) override {}
  int OpenMemoryView(TTALVOCPU&) override { return -1; }
  int OpenCommonRegisters(TTALVOCPU&) override { return -1; }
  int OpenSpecialRegisters(TTALVOCPU&) override { return -1; }
  int OpenTestDialog(TTALVOCPU&) override { return -1; }
  bool WindowExists() const override { return true; }

  Clock::time_point Now() const { return now_(); }
  // True when the running device timer has passed a whole interval since it was set
  // or last ticked: the caller raises the timer interrupt once. Ticks missed while
  // the caller was busy are not made up, as a window's timer does not.
  bool TimerTicked(Clock::time_point now);

 private:
  PixelSurface screen_;
  TimeSource now_;
  uint32_t interval_ = 0;
  bool enabled_ = false;
  Clock::time_point nextTick_{};
};

// Runs the core with no window (talvorun's loop) up to the limit or a failing step,
// in blocks sized by the host's clock as the core thread sizes its own; between two
// blocks the device timer's interrupt is raised when it ticks.
TTALVOCPU::TRunResult RunHeadless(TTALVOCPU& cpu, THeadlessHost& host, uint64_t limit);
