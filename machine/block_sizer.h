#pragma once
// The size of the blocks of steps (TTALVOCPU::Run) that the core thread and every
// headless runner run, by the time they take. Between two blocks the runner looks at
// what must not wait long: a pause, a stop or a UI action waiting for the core, and the
// device timer. Sized by time, those looks come about every BlockTime whatever the
// program does, so a device timer keeps its interval.

#include <chrono>
#include <cstdint>

class TBlockSizer {
 public:
  // A block runs for about this long.
  static constexpr std::chrono::microseconds BlockTime{200};
  // Instructions that go through the operations (devices above all: one disk byte is
  // a system call) end a block early after this many, so a block of them stays short
  // even when its size was set by fast instructions.
  static constexpr uint64_t OperationSteps = 256;

  uint64_t Steps() const { return steps_; }
  // The block just run took this long: the next one is sized from it.
  void Took(std::chrono::nanoseconds took);

 private:
  // The first block is short; each next one grows or shrinks by the last one's time.
  uint64_t steps_ = 1024;
};
