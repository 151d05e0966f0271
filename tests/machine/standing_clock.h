#pragma once
// A host clock that stands still, for the machine's clock device: two runs of one
// program read the same date and time however far apart and however slowly they run.

#include <chrono>

inline std::chrono::system_clock::time_point StandingClock() {
  // 17 May 2031, 12:34:56.5 UTC: half a second in, as a running clock mostly is.
  return std::chrono::system_clock::time_point{} + std::chrono::milliseconds(1936787696500);
}
