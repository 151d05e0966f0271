// A fuzzed memory image run for a bounded number of steps, with fuzzed port numbers
// and both disks on small scratch images.

#include <algorithm>
#include <cstring>

#include "fuzz_scratch.h"
#include "machine/talvo_cpu.h"
#include "recording_host.h"

namespace {

constexpr int kSteps = 20000;
constexpr size_t kPortBytes = 24 * 4;

void OpenScratchDisk(TDiskDrive& drive, const char* name) {
  if (drive.FileName.empty()) {
    const std::string bytes(64 * 1024, '\0');
    drive.FileName = WriteScratch(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    drive.Open();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static RecordingHost host;
  static TTALVOCPU* cpu = [] {
    auto* core = new TTALVOCPU;
    core->SettingPath = (ScratchFolder() / "none.setting").string();
    core->MemSize = 64 * 1024;
    core->Host = &host;
    OpenScratchDisk(core->Floppy, "floppy.img");
    OpenScratchDisk(core->HardDisk, "disk.img");
    return core;
  }();
  std::lock_guard<TCoreLock> guard(cpu->CoreLock);
  cpu->Reset();
  TPortTable ports = cpu->PortTable;
  std::memcpy(ports.data(), data, std::min(size, kPortBytes));
  cpu->LoadPortTable(ports);
  if (size > kPortBytes) {
    std::memcpy(cpu->Memory, data + kPortBytes, std::min<uint64_t>(size - kPortBytes, cpu->MemAllocated));
  }
  for (int i = 0; i < kSteps && cpu->Step(); ++i) {
    if (i % 1000 == 999) cpu->RaiseHardwareInterrupt(6);
  }
  return 0;
}
