// talvorun: runs a program image headless on the simulated computer and prints the
// machine state it ends in, for scripts and tests.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/file_error.h"
#include "machine/headless_host.h"
#include "machine/talvo_cpu.h"
#include "machine/text_views.h"
#include "talvorun_options.h"

namespace {

// A settings file that cannot exist: the run must not depend on the current folder.
constexpr const char* kNoSettingsFile = "/dev/null/talvorun.setting";
// The screen a program draws on when nobody watches.
constexpr int kScreenWidth = 640, kScreenHeight = 480;
// Exit statuses: the run went as asked; the command line, the image, a disk image or
// the memory could not be had; a disk image lost bytes the program wrote.
constexpr int kExitRan = 0, kExitRefused = 2, kExitDiskLostWrites = 3;

// An errno value, or kNotARegularFile, as the terminal shows it.
const char* Reason(int error) { return error == kNotARegularFile ? "not a regular file" : std::strerror(error); }

bool OpenDrive(TDiskDrive& drive, const std::string& file, const char* what) {
  if (file.empty()) return true;
  drive.FileName = file;
  int error = 0;
  if (drive.Open(&error) == 0) return true;
  std::fprintf(stderr, "talvorun: cannot open the %s image %s: %s\n", what, file.c_str(), Reason(error));
  return false;
}

// Says once which image lost writes and why; true when it did.
bool ReportLostWrites(TDiskDrive& drive, const char* what) {
  const int failure = drive.TakeWriteFailure();
  if (failure == 0) return false;
  std::fprintf(stderr, "talvorun: the %s image %s lost writes: %s\n", what, drive.FileName.c_str(),
               std::strerror(failure));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  TTalvorunOptions options;
  const std::string refusal = ParseTalvorunOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  if (!refusal.empty()) {
    std::fprintf(stderr, "talvorun: %s\n%s", refusal.c_str(), kTalvorunUsage);
    return kExitRefused;
  }

  THeadlessHost host(kScreenWidth, kScreenHeight);
  TTALVOCPU cpu;
  cpu.Host = &host;
  cpu.LoadPortTable(DefaultPortTable());
  cpu.SettingPath = kNoSettingsFile;
  cpu.MemSize = static_cast<double>(options.MemBytes());
  // Without a settings file every reset reads the image at BiosPath.
  cpu.BiosPath = options.Image;
  cpu.Reset();
  if (cpu.ResetImageError != 0) {
    std::fprintf(stderr, "talvorun: cannot load the image %s: %s\n", options.Image.c_str(),
                 Reason(cpu.ResetImageError));
    return kExitRefused;
  }
  // A reset that cannot allocate the block keeps the one it had: the run would be on
  // another machine than asked for.
  if (!cpu.HasWantedMemory()) {
    std::fprintf(stderr, "talvorun: cannot allocate %llu MB of memory\n",
                 static_cast<unsigned long long>(options.MemMb));
    return kExitRefused;
  }
  if (!OpenDrive(cpu.Floppy, options.Floppy, "floppy") || !OpenDrive(cpu.HardDisk, options.Disk, "disk"))
    return kExitRefused;

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
  std::fflush(stdout);
  const bool floppyLost = ReportLostWrites(cpu.Floppy, "floppy");
  const bool diskLost = ReportLostWrites(cpu.HardDisk, "disk");
  return floppyLost || diskLost ? kExitDiskLostWrites : kExitRan;
}
