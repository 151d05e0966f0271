#include "machine/headless_host.h"

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
