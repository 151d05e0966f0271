// talvorun: runs a program image headless on the simulated computer and prints the
// machine state it ends in, for scripts and tests.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "machine/headless_host.h"
#include "machine/talvo_cpu.h"
#include "machine/text_views.h"
#include "talvorun_options.h"

namespace {

// A settings file that cannot exist: the run must not depend on the current folder.
constexpr const char* kNoSettingsFile = "/dev/null/talvorun.setting";
// The screen a program draws on when nobody watches.
constexpr int kScreenWidth = 640, kScreenHeight = 480;

bool OpenDrive(TDiskDrive& drive, const std::string& file, const char* what) {
  if (file.empty()) return true;
  drive.FileName = file;
  if (drive.Open() == 0) return true;
  std::fprintf(stderr, "talvorun: cannot open the %s image %s\n", what, file.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  TTalvorunOptions options;
  const std::string refusal = ParseTalvorunOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  if (!refusal.empty()) {
    std::fprintf(stderr, "talvorun: %s\n%s", refusal.c_str(), kTalvorunUsage);
    return 2;
  }

  THeadlessHost host(kScreenWidth, kScreenHeight);
  TTALVOCPU cpu;
  cpu.Host = &host;
  cpu.LoadPortTable(DefaultPortTable());
  cpu.SettingPath = kNoSettingsFile;
  cpu.MemSize = static_cast<double>(options.MemBytes());
  if (cpu.LoadBiosImage(options.Image) != 0) {
    std::fprintf(stderr, "talvorun: cannot load the image %s\n", options.Image.c_str());
    return 2;
  }
  if (!OpenDrive(cpu.Floppy, options.Floppy, "floppy") || !OpenDrive(cpu.HardDisk, options.Disk, "disk"))
    return 2;
  cpu.Reset();
  // A reset that cannot allocate the block keeps the one it had: the run would be on
  // another machine than asked for.
  if (cpu.Memory == nullptr || cpu.MemAllocated != options.MemBytes()) {
    std::fprintf(stderr, "talvorun: cannot allocate %llu MB of memory\n",
                 static_cast<unsigned long long>(options.MemMb));
    return 2;
  }

  const TTALVOCPU::TRunResult outcome = RunHeadless(cpu, host, options.Steps);

  std::printf("steps %llu\n", static_cast<unsigned long long>(outcome.Steps));
  std::printf("stop %s\n", outcome.Failed ? "failed" : "limit");
  for (int32_t n = 0; n < isa::kSpecialRegisterCount; ++n)
    std::printf("%s %s\n", SpecialRegName(n), Hex128Text(*cpu.GetSpecialRegBits(n)).c_str());
  for (int n = 0; n < 256; ++n)
    if (cpu.Regs[n] != 0) std::printf("R%d %s\n", n, Hex128Text(cpu.Regs[n]).c_str());
  for (const TMemoryDump& dump : options.Dumps) {
    std::printf("mem %08llX:", static_cast<unsigned long long>(dump.Address));
    for (uint64_t i = 0; i < dump.Length; ++i) std::printf(" %02X", cpu.Memory[dump.Address + i]);
    std::printf("\n");
  }
  return 0;
}
