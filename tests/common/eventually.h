#pragma once
// Waiting in a test for what another thread does: poll the condition, with a bound
// generous enough for a loaded machine, so a fault fails the test instead of hanging it.

#include <chrono>
#include <thread>

inline constexpr std::chrono::seconds kEventuallyLimit{30};

// False when the condition still does not hold after kEventuallyLimit.
template <class F>
bool Eventually(F&& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kEventuallyLimit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
