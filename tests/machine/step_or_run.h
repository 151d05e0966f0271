#pragma once
// Drives a machine for a number of steps one Step at a time or through Runs, raising
// device interrupts between chosen steps, so that tests can compare the two ways.

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "machine/talvo_cpu.h"

struct TOutcome {
  uint64_t Steps = 0;
  bool Failed = false;
};

// Device interrupts raised before the step of the given count.
using TRaises = std::vector<std::pair<uint64_t, int>>;

// chunkSeed 0 steps one at a time; 1 runs one Run between two raised interrupts;
// any other seed Runs of random lengths that also end after a random number of
// instructions through the operations.
inline TOutcome Drive(TTALVOCPU& cpu, uint64_t limit, const TRaises& raises, uint64_t chunkSeed) {
  std::mt19937_64 chunks(chunkSeed);
  TOutcome outcome;
  size_t next = 0;
  while (outcome.Steps < limit && !outcome.Failed) {
    while (next < raises.size() && raises[next].first == outcome.Steps) cpu.RaiseHardwareInterrupt(raises[next++].second);
    const uint64_t until = next < raises.size() ? std::min(limit, raises[next].first) : limit;
    if (chunkSeed == 0) {
      if (cpu.Step()) {
        ++outcome.Steps;
      } else {
        outcome.Failed = true;
      }
      continue;
    }
    const uint64_t room = until - outcome.Steps;
    const TTALVOCPU::TRunResult result =
        chunkSeed == 1 ? cpu.Run(room) : cpu.Run(1 + chunks() % room, 1 + chunks() % 8);
    outcome.Steps += result.Steps;
    outcome.Failed = result.Failed;
  }
  return outcome;
}

