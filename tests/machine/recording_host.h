#pragma once
// A host window for tests that run the core: the headless host, recording when the
// instruction timer is switched, with a switch that makes the window go away.

#include <atomic>
#include <mutex>
#include <vector>

#include "machine/headless_host.h"

class RecordingHost : public THeadlessHost {
 public:
  RecordingHost() : THeadlessHost(64, 48) {}

  void SetInstructionTimerEnabled(bool enabled) override {
    std::lock_guard<std::mutex> guard(changesMutex);
    instructionTimerChanges.push_back(enabled);
  }
  bool WindowExists() const override { return windowExists; }

  std::vector<bool> InstructionTimerChanges() const {
    std::lock_guard<std::mutex> guard(changesMutex);
    return instructionTimerChanges;
  }

  std::atomic<bool> windowExists{true};

 private:
  mutable std::mutex changesMutex;
  std::vector<bool> instructionTimerChanges;
};
