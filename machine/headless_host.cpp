#include "machine/headless_host.h"

#include <algorithm>

namespace {

// Steps between two looks at the device timer: a fraction of a millisecond.
constexpr uint64_t kBlockSteps = 1 << 16;

}  // namespace

void THeadlessHost::SetDeviceTimer(uint32_t intervalMs, bool enabled) {
  interval_ = intervalMs;
  enabled_ = enabled;
  nextTick_ = Clock::now() + std::chrono::milliseconds(intervalMs);
}

bool THeadlessHost::TimerTicked(Clock::time_point now) {
  // An interval of 0 never fires.
  if (!enabled_ || interval_ == 0 || now < nextTick_) return false;
  nextTick_ = now + std::chrono::milliseconds(interval_);
  return true;
}

TTALVOCPU::TRunResult RunHeadless(TTALVOCPU& cpu, THeadlessHost& host, uint64_t limit) {
  TTALVOCPU::TRunResult outcome;
  while (outcome.Steps < limit && !outcome.Failed) {
    if (host.TimerTicked(THeadlessHost::Clock::now())) cpu.RaiseHardwareInterrupt(6);
    const TTALVOCPU::TRunResult block = cpu.Run(std::min(kBlockSteps, limit - outcome.Steps));
    outcome.Steps += block.Steps;
    outcome.Failed = block.Failed;
  }
  return outcome;
}
