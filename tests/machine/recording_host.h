#pragma once
// A host window for tests that run the core: a screen surface, the device timer and
// the instruction timer as plain fields, and a switch that makes the window go away.

#include <atomic>
#include <mutex>
#include <vector>

#include "machine/core_host.h"

class RecordingHost : public CoreHost {
 public:
  RecordingHost() { surface.Resize(64, 48); }

  void SetStatusText(int, const std::string&) override {}
  PixelSurface& Screen() override { return surface; }
  void SetDeviceTimer(uint32_t intervalMs, bool enabled) override {
    interval = intervalMs;
    timerEnabled = enabled;
  }
  uint32_t DeviceTimerInterval() const override { return interval; }
  bool DeviceTimerEnabled() const override { return timerEnabled; }
  void SetInstructionTimerEnabled(bool enabled) override {
    std::lock_guard<std::mutex> guard(changesMutex);
    instructionTimerChanges.push_back(enabled);
  }
  int OpenMemoryView(TTALVOCPU&) override { return -1; }
  int OpenCommonRegisters(TTALVOCPU&) override { return -1; }
  int OpenSpecialRegisters(TTALVOCPU&) override { return -1; }
  int OpenTestDialog(TTALVOCPU&) override { return -1; }
  bool WindowExists() const override { return windowExists; }

  std::vector<bool> InstructionTimerChanges() const {
    std::lock_guard<std::mutex> guard(changesMutex);
    return instructionTimerChanges;
  }

  PixelSurface surface;
  uint32_t interval = 0;
  bool timerEnabled = false;
  std::atomic<bool> windowExists{true};

 private:
  mutable std::mutex changesMutex;
  std::vector<bool> instructionTimerChanges;
};
