// The reset of the simulated computer: it reads the ".setting" file (memory size and
// BIOS name), loads the BIOS, clears the machine and copies the BIOS to address 0.
// The input's first text is the settings file, the rest the file "bios.bin"; the
// folder also holds an empty file "empty", a folder "folder" and a FIFO "fifo" for
// the BIOS line to name. Settings that ask for more than 1 MB, or name a BIOS outside the folder, are
// skipped to keep runs quick and local.
//
// Properties: the memory has the size the settings give (4 MB when they give none
// that fits), every register is zero, the memory holds the named BIOS (as much of it
// as fits) and zeros after it; a second reset gives the same machine.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "fuzz_machine.h"

namespace {

constexpr double kMaxFuzzedMb = 1.0;
constexpr uint64_t kDefaultMemory = 4194304;
// The settings file keeps a BIOS name of at most this many bytes.
constexpr size_t kMaxBiosName = 999;

void PrepareFolder() {
  static const std::string empty = WriteScratch("empty", "");
  MakeFolderAndFifo();
}

void CheckResetState(const TTALVOCPU& cpu, uint64_t memory, const std::string& bios) {
  Check(cpu.MemAllocated == memory && cpu.Memory != nullptr, "the memory has the size the settings give");
  for (const Value128& reg : cpu.Regs) Check(reg == 0, "a reset clears the general registers");
  for (const Value128& reg : cpu.SpecialRegs) Check(reg == 0, "a reset clears the special registers");
  const size_t copied = std::min<size_t>(bios.size(), memory);
  Check(std::memcmp(cpu.Memory, bios.data(), copied) == 0, "the named BIOS is at address 0");
  static const std::string zeros(kDefaultMemory + 1, '\0');
  Check(std::memcmp(cpu.Memory + copied, zeros.data(), memory + 1 - copied) == 0, "the memory after the BIOS is zero");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFolder();
  TFuzzInput input(data, size);
  const std::string setting = WriteScratch(ScratchSettingName(), input.Text());
  const std::string biosBytes = input.Rest();
  WriteScratch("bios.bin", biosBytes);

  TSettingItems items;
  Check(ReadSettingItems(setting, items) == 1, "harness: the settings file reads");
  double megabytes = 0;
  const bool sized = ParseSettingNumber(items.Items[SettingMemSize], megabytes) && megabytes > 0 &&
                     megabytes <= TTALVOCPU::MaxMemoryMb;
  if (sized && megabytes > kMaxFuzzedMb) return 0;
  const std::string biosName = items.Items[SettingBiosFile].substr(0, kMaxBiosName);
  if (biosName.find('/') != std::string::npos) return 0;

  const uint64_t memory = sized ? static_cast<uint64_t>(megabytes * 1024.0 * 1024.0) : kDefaultMemory;
  // What the reset finds under the BIOS name: the settings file itself is a BIOS too.
  std::string bios;
  if (biosName == "bios.bin") bios = biosBytes;
  if (biosName == setting.substr(setting.rfind('/') + 1)) bios = ReadScratch(biosName);

  // The reset reads the settings file, and the BIOS it names, from the current folder.
  TInFolder inScratch(ScratchFolder());
  auto cpu = std::make_unique<TTALVOCPU>();
  CheckResetState(*cpu, memory, bios);
  Check(cpu->BiosLen == static_cast<int32_t>(std::min<uint64_t>(bios.size(), memory)),
        "the BIOS holds as much of the named file as memory holds");
  cpu->Regs[1] = 1;
  cpu->SpecialRegs[TTALVOCPU::SpecialSlot[TTALVOCPU::IP]] = 8;
  if (memory > 0) cpu->Memory[memory - 1] ^= 0xFF;
  cpu->Reset();
  CheckResetState(*cpu, memory, bios);
  return 0;
}
