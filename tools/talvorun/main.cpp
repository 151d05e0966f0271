// talvorun: runs a program image headless on the simulated computer and prints the
// machine state it ends in, for scripts and tests.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/file_size_limit.h"
#include "disk_images.h"
#include "host_reason.h"
#include "machine/headless_host.h"
#include "machine/talvo_cpu.h"
#include "machine/text_views.h"
#include "standard_output.h"
#include "talvorun_options.h"

namespace {

// The screen a program draws on when nobody watches.
constexpr int kScreenWidth = 640, kScreenHeight = 480;
// Exit statuses: the run went as asked; the command line, the image, a disk image or
// the memory could not be had; the host refused bytes the program wrote to or read from
// a disk image; the state could not be written out whole.
constexpr int kExitRan = 0, kExitRefused = 2, kExitDiskRefused = 3, kExitOutputLost = 4;

// Says which image lost writes or refused reads, and why; true when it did.
bool ReportRefusals(TDiskDrive& drive, const char* what) {
  const TDiskDrive::TRefusals refused = drive.TakeRefusals();
  if (refused.Write != 0)
    std::fprintf(stderr, "talvorun: the %s image %s lost writes: %s\n", what, drive.FileName.c_str(),
                 HostReason(refused.Write).c_str());
  if (refused.Read != 0)
    std::fprintf(stderr, "talvorun: the %s image %s refused reads: %s\n", what, drive.FileName.c_str(),
                 HostReason(refused.Read).c_str());
  return refused.Write != 0 || refused.Read != 0;
}

void PrintState(TStandardOutput& out, const TTALVOCPU& cpu, const TTALVOCPU::TRunResult& outcome,
                const std::vector<TMemoryDump>& dumps) {
  out.Print("steps %llu\n", static_cast<unsigned long long>(outcome.Steps));
  out.Print("stop %s\n", outcome.Failed ? "failed" : "limit");
  for (int32_t n = 0; n < isa::kSpecialRegisterCount; ++n)
    out.Print("%s %s\n", SpecialRegName(n), Hex128Text(*cpu.GetSpecialRegBits(n)).c_str());
  for (int n = 0; n < 256; ++n)
    if (cpu.Regs[n] != 0) out.Print("R%d %s\n", n, Hex128Text(cpu.Regs[n]).c_str());
  for (const TMemoryDump& dump : dumps) {
    out.Print("mem %08llX:", static_cast<unsigned long long>(dump.Address));
    for (uint64_t i = 0; i < dump.Length; ++i) out.Print(" %02X", cpu.Memory[dump.Address + i]);
    out.Print("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A disk image that reaches the file size limit loses writes, which are told.
  IgnoreFileSizeLimitSignal();
  TTalvorunOptions options;
  const std::string refusal = ParseTalvorunOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  if (!refusal.empty()) {
    std::fprintf(stderr, "talvorun: %s\n%s", refusal.c_str(), kTalvorunUsage);
    return kExitRefused;
  }

  THeadlessHost host(kScreenWidth, kScreenHeight);
  // Built without a settings file: nothing the run does depends on the folder it
  // starts in.
  TTALVOCPU cpu{std::string()};
  cpu.Host = &host;
  cpu.LoadPortTable(DefaultPortTable());
  cpu.MemSize = static_cast<double>(options.MemBytes());
  // Without a settings file every reset reads the image at BiosPath.
  cpu.BiosPath = options.Image;
  cpu.Reset();
  // An empty image would run on zeroed memory, which the window refuses too.
  if (cpu.ResetImageError != 0 || cpu.BiosLen == 0) {
    std::fprintf(stderr, "talvorun: cannot load the image %s: %s\n", options.Image.c_str(),
                 cpu.ResetImageError != 0 ? HostReason(cpu.ResetImageError).c_str() : "the file is empty");
    return kExitRefused;
  }
  // A reset that cannot allocate the block keeps the one it had: the run would be on
  // another machine than asked for.
  if (!cpu.HasWantedMemory()) {
    std::fprintf(stderr, "talvorun: cannot allocate %llu MB of memory\n",
                 static_cast<unsigned long long>(options.MemMb));
    return kExitRefused;
  }
  const std::vector<std::string> imagesRefused =
      OpenNamedImages({{cpu.Floppy, options.Floppy, "floppy"}, {cpu.HardDisk, options.Disk, "disk"}});
  for (const std::string& refused : imagesRefused) std::fprintf(stderr, "talvorun: %s\n", refused.c_str());
  if (!imagesRefused.empty()) return kExitRefused;

  const TTALVOCPU::TRunResult outcome = RunHeadless(cpu, host, options.Steps);

  TStandardOutput out;
  PrintState(out, cpu, outcome, options.Dumps);
  const int outputError = out.Close();
  const bool floppyRefused = ReportRefusals(cpu.Floppy, "floppy");
  const bool diskRefused = ReportRefusals(cpu.HardDisk, "disk");
  if (outputError != 0) {
    std::fprintf(stderr, "talvorun: cannot write the machine state to the standard output: %s\n",
                 HostReason(outputError).c_str());
    return kExitOutputLost;
  }
  return floppyRefused || diskRefused ? kExitDiskRefused : kExitRan;
}
