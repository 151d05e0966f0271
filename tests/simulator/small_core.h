#pragma once
// A core for the windows' logic: 4096 bytes of memory and no settings file.

#include "machine/talvo_cpu.h"

struct SmallCore {
  SmallCore() {
    cpu.SettingPath = "/nonexistent-folder/simulator_test.setting";
    cpu.MemSize = 4096;
    cpu.Reset();
  }
  Value128 Ip() const { return *cpu.GetSpecialRegBits(TTALVOCPU::IP); }

  TTALVOCPU cpu;
};
