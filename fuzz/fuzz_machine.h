#pragma once
// A fresh simulated computer with 16 KB of memory, built as the simulator builds one:
// its construction reads "<program>.setting" from the current folder, which names the
// BIOS, and copies the BIOS to address 0. Small, so a run or a memory dump stays quick
// and a whole memory compare is cheap.

#include <filesystem>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "fuzz_scratch.h"
#include "machine/setting_file.h"
#include "machine/talvo_cpu.h"

inline constexpr const char kSmallMemoryMb[] = "0.015625";

// The name of the settings file a core constructed in the scratch folder reads.
inline std::string ScratchSettingName() {
  return std::filesystem::path(DefaultSettingPath()).filename().string();
}

inline std::unique_ptr<TTALVOCPU> NewSmallCore(const std::string& bios) {
  WriteScratch("bios.bin", bios);
  TSettingItems settings;
  settings.Items[SettingMemSize] = kSmallMemoryMb;
  settings.Items[SettingBiosFile] = "bios.bin";
  Check(WriteSettingItems((ScratchFolder() / ScratchSettingName()).string(), settings) == 1,
        "harness: the settings file is written");
  TInFolder inScratch(ScratchFolder());
  auto core = std::make_unique<TTALVOCPU>();
  Check(core->MemAllocated == 16384, "harness: the core has the memory its settings give");
  return core;
}
