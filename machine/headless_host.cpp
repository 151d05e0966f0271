#include "machine/headless_host.h"

#include <algorithm>

#include "machine/block_sizer.h"

void THeadlessHost::SetDeviceTimer(uint32_t intervalMs, bool enabled) {
  interval_ = intervalMs;
  enabled_ = enabled;
  nextTick_ = Now() + std::chrono::milliseconds(intervalMs);
}

bool THeadlessHost::TimerTicked(Clock::time_point now) {
  // An interval of 0 never fires.
  if (!enabled_ || interval_ == 0 || now < nextTick_) return false;
  nextTick_ = now + std::chrono::milliseconds(interval_);
  return true;
}

TTALVOCPU::TRunResult RunHeadless(TTALVOCPU& cpu, THeadlessHost& host, uint64_t limit) {
  TTALVOCPU::TRunResult outcome;
  TBlockSizer blocks;
  THeadlessHost::Clock::time_point now = host.Now();
  while (outcome.Steps < limit && !outcome.Failed) {
    if (host.TimerTicked(now)) cpu.RaiseHardwareInterrupt(6);
    const THeadlessHost::Clock::time_point start = now;
    const TTALVOCPU::TRunResult block =
        cpu.Run(std::min(blocks.Steps(), limit - outcome.Steps), TBlockSizer::OperationSteps);
    now = host.Now();
    blocks.Took(now - start);
    outcome.Steps += block.Steps;
    outcome.Failed = block.Failed;
  }
  return outcome;
}
