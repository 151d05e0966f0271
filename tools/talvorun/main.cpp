// talvorun: runs a program image headless on the simulated computer and prints the
// machine state it ends in, for scripts and tests.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "machine/talvo_cpu.h"
#include "machine/text_views.h"

namespace {

constexpr const char* kUsage =
    "usage: talvorun [--steps N] [--mem-mb M] [--floppy FILE] [--disk FILE] [--dump ADDR:LEN]... IMAGE\n"
    "  Loads IMAGE as the BIOS, resets, and steps until a step fails or N steps have run\n"
    "  (default 100000000); memory is M MB (1..2047, default 4). ADDR and LEN are decimal,\n"
    "  or hexadecimal with 0x. Prints the steps that completed, why the run stopped, the\n"
    "  special registers, every non-zero general register and each dump.\n";

// A settings file that cannot exist: the run must not depend on the current folder.
constexpr const char* kNoSettingsFile = "/dev/null/talvorun.setting";

struct Dump {
  uint64_t Address = 0;
  uint64_t Length = 0;
};

struct Options {
  uint64_t Steps = 100000000;
  uint64_t MemMb = 4;
  std::string Floppy, Disk, Image;
  std::vector<Dump> Dumps;
};

bool ParseNumber(const std::string& text, uint64_t& out) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const size_t start = hex ? 2 : 0;
  if (text.size() == start || text.size() - start > (hex ? 16 : 19)) return false;
  uint64_t value = 0;
  for (size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (hex && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else return false;
    value = value * (hex ? 16 : 10) + digit;
  }
  out = value;
  return true;
}

bool ParseDump(const std::string& text, Dump& out) {
  const size_t colon = text.find(':');
  return colon != std::string::npos && ParseNumber(text.substr(0, colon), out.Address) &&
         ParseNumber(text.substr(colon + 1), out.Length);
}

// Empty on success, else the reason the command line is refused.
std::string ParseOptions(int argc, char** argv, Options& out) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool takesValue = arg == "--steps" || arg == "--mem-mb" || arg == "--floppy" || arg == "--disk" ||
                            arg == "--dump";
    if (takesValue) {
      if (i + 1 >= argc) return arg + " needs a value";
      const std::string value = argv[++i];
      if (arg == "--steps" && !ParseNumber(value, out.Steps)) return "bad step count: " + value;
      if (arg == "--mem-mb" && (!ParseNumber(value, out.MemMb) || out.MemMb < 1 || out.MemMb > 2047))
        return "memory must be 1 to 2047 MB: " + value;
      if (arg == "--floppy") out.Floppy = value;
      if (arg == "--disk") out.Disk = value;
      if (arg == "--dump") {
        Dump dump;
        if (!ParseDump(value, dump)) return "bad dump, expected ADDR:LEN: " + value;
        out.Dumps.push_back(dump);
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option: " + arg;
    } else if (out.Image.empty()) {
      out.Image = arg;
    } else {
      return "more than one image: " + arg;
    }
  }
  if (out.Image.empty()) return "no image given";
  const uint64_t memBytes = out.MemMb * 1024 * 1024;
  for (const Dump& dump : out.Dumps)
    if (dump.Address > memBytes || dump.Length > memBytes - dump.Address)
      return "dump outside memory: " + std::to_string(dump.Address) + ":" + std::to_string(dump.Length);
  return {};
}

bool OpenDrive(TDiskDrive& drive, const std::string& file, const char* what) {
  if (file.empty()) return true;
  drive.FileName = file;
  if (drive.Open() == 0) return true;
  std::fprintf(stderr, "talvorun: cannot open the %s image %s\n", what, file.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const std::string refusal = ParseOptions(argc, argv, options);
  if (!refusal.empty()) {
    std::fprintf(stderr, "talvorun: %s\n%s", refusal.c_str(), kUsage);
    return 2;
  }

  TTALVOCPU cpu;
  cpu.SettingPath = kNoSettingsFile;
  cpu.MemSize = static_cast<double>(options.MemMb * 1024 * 1024);
  if (cpu.LoadBiosImage(options.Image) != 0) {
    std::fprintf(stderr, "talvorun: cannot load the image %s\n", options.Image.c_str());
    return 2;
  }
  if (!OpenDrive(cpu.Floppy, options.Floppy, "floppy") || !OpenDrive(cpu.HardDisk, options.Disk, "disk"))
    return 2;
  cpu.Reset();
  // A reset that cannot allocate the block keeps the one it had: the run would be on
  // another machine than asked for.
  if (cpu.Memory == nullptr || cpu.MemAllocated != options.MemMb * 1024 * 1024) {
    std::fprintf(stderr, "talvorun: cannot allocate %llu MB of memory\n",
                 static_cast<unsigned long long>(options.MemMb));
    return 2;
  }

  uint64_t steps = 0;
  bool failed = false;
  while (steps < options.Steps) {
    if (!cpu.Step()) {
      failed = true;
      break;
    }
    ++steps;
  }

  std::printf("steps %llu\n", static_cast<unsigned long long>(steps));
  std::printf("stop %s\n", failed ? "failed" : "limit");
  for (int32_t n = 0; n < 10; ++n)
    std::printf("%s %s\n", SpecialRegName(n), Hex128Text(*cpu.GetSpecialRegBits(n)).c_str());
  for (int n = 0; n < 256; ++n)
    if (cpu.Regs[n] != 0) std::printf("R%d %s\n", n, Hex128Text(cpu.Regs[n]).c_str());
  for (const Dump& dump : options.Dumps) {
    std::printf("mem %08llX:", static_cast<unsigned long long>(dump.Address));
    for (uint64_t i = 0; i < dump.Length; ++i) std::printf(" %02X", cpu.Memory[dump.Address + i]);
    std::printf("\n");
  }
  return 0;
}
