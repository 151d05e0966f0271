#include "program_runner.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <unistd.h>

#include "machine/talvo_cpu.h"
#include "machine/text_views.h"
#include "program_spec.h"
#include "toolchain/asm_file.h"
#include "toolchain/convert_error.h"
#include "../common/scratch.h"
#include "../machine/recording_host.h"

namespace fs = std::filesystem;

namespace {

// Far more than any test program needs; a program still running then is looping.
constexpr uint64_t kStepLimit = 1000000;

// The simulator's built-in port numbers, in table order.
constexpr int32_t kDefaultPorts[24] = {0x20, 0x30, 0x12, 0x08, 0x03, 0x21, 0x31, 0x13, 0x09, 0x04, 0x22, 0x32,
                                       0x14, 0x10, 0x05, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x50, 0x51, 0x52};

std::string RegisterName(int reg) {
  return reg < 256 ? "R" + std::to_string(reg) : SpecialRegName(reg - 256);
}

Value128 ReadRegister(const TTALVOCPU& cpu, int reg) {
  return reg < 256 ? cpu.Regs[reg] : *cpu.GetSpecialRegBits(reg - 256);
}

// The image the assembler writes for the source, or an empty text with the reason.
std::string Assemble(const fs::path& source, std::string& image, std::vector<std::string>& problems) {
  TAsmFile file;
  int32_t result;
  try {
    result = file.AssembleFile(source.string());
  } catch (const EConvertError& error) {
    problems.push_back(std::string("assembler conversion error: ") + error.what());
    return {};
  }
  if (result != 0) {
    problems.push_back("assembler result " + std::to_string(result) + ": " + file.Messages);
    return {};
  }
  if (file.SaveTvxBin() != 0) {
    problems.push_back("the image was not written");
    return {};
  }
  const fs::path imagePath = fs::path(source).replace_extension(".tvxbin");
  image = ReadBytes(imagePath);
  return imagePath.string();
}

bool OpenImage(TDiskDrive& drive, const fs::path& path, std::vector<std::string>& problems) {
  drive.FileName = path.string();
  if (drive.Open() == 0) return true;
  problems.push_back("cannot open the image " + path.string());
  return false;
}

void CompareBytes(const char* what, std::string_view actual, const std::vector<TExpectedBytes>& expected,
                  std::vector<std::string>& problems) {
  for (const TExpectedBytes& want : expected)
    for (size_t i = 0; i < want.Bytes.size(); ++i) {
      const uint64_t at = want.Address + i;
      const int have = at < actual.size() ? static_cast<uint8_t>(actual[at]) : -1;
      if (have != want.Bytes[i]) {
        char text[120];
        std::snprintf(text, sizeof text, "%s byte %llX is %d, expected %d", what,
                      static_cast<unsigned long long>(at), have, want.Bytes[i]);
        problems.emplace_back(text);
      }
    }
}

void CompareRegisters(const TTALVOCPU& cpu, const TProgramSpec& spec, std::vector<std::string>& problems) {
  std::vector<bool> named(266, false);
  for (const auto& [reg, value] : spec.Registers) {
    named[reg] = true;
    if (ReadRegister(cpu, reg) != value)
      problems.push_back(RegisterName(reg) + " is " + Hex128Text(ReadRegister(cpu, reg)) + ", expected " +
                         Hex128Text(value));
  }
  if (!spec.OthersZero) return;
  for (int reg = 0; reg < 266; ++reg)
    if (!named[reg] && reg != 256 + TTALVOCPU::IP && ReadRegister(cpu, reg) != 0)
      problems.push_back(RegisterName(reg) + " is " + Hex128Text(ReadRegister(cpu, reg)) + ", expected 0");
}

void CompareMemory(const TTALVOCPU& cpu, const TProgramSpec& spec, std::vector<std::string>& problems) {
  // MemSize may name more than the last reset could allocate; only the block is read.
  const std::string_view memory(reinterpret_cast<const char*>(cpu.Memory), cpu.Memory ? cpu.MemAllocated : 0);
  CompareBytes("memory", memory, spec.Memory, problems);
}

void CompareHost(const RecordingHost& host, const TProgramSpec& spec, std::vector<std::string>& problems) {
  for (const auto& pixel : spec.Pixels) {
    const uint32_t have = host.surface.Pixel(pixel.X, pixel.Y);
    if (have != pixel.Colour) {
      char text[100];
      std::snprintf(text, sizeof text, "pixel %d,%d is %06X, expected %06X", pixel.X, pixel.Y, have, pixel.Colour);
      problems.emplace_back(text);
    }
  }
  if (spec.ExpectTimer &&
      (host.DeviceTimerInterval() != spec.TimerInterval || host.DeviceTimerEnabled() != spec.TimerOn))
    problems.push_back("device timer is " + std::to_string(host.DeviceTimerInterval()) +
                       (host.DeviceTimerEnabled() ? " on" : " off") + ", expected " +
                       std::to_string(spec.TimerInterval) + (spec.TimerOn ? " on" : " off"));
}

}  // namespace

std::vector<std::string> ListTestPrograms(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".casm") names.push_back(entry.path().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> RunTestProgram(const std::string& sourcePath) {
  std::vector<std::string> problems;
  const std::string sourceText = ReadBytes(sourcePath);
  TProgramSpec spec;
  std::string specError;
  if (sourceText.empty() || !ParseProgramSpec(sourceText, spec, specError))
    return {"cannot read the program's expectations: " + specError};

  TScratchFolder scratch;
  const fs::path source = scratch.Path / fs::path(sourcePath).filename();
  fs::copy_file(sourcePath, source);
  std::string image;
  const std::string imagePath = Assemble(source, image, problems);
  if (imagePath.empty()) return problems;

  RecordingHost host;
  host.surface.Resize(spec.ScreenWidth, spec.ScreenHeight);
  TTALVOCPU cpu;
  cpu.Host = &host;
  cpu.SettingPath = (scratch.Path / "none.setting").string();
  std::copy(std::begin(kDefaultPorts), std::end(kDefaultPorts), cpu.PortTable);
  for (const auto& [entry, port] : spec.Ports) cpu.PortTable[entry] = port;
  if (spec.Key != 0) cpu.Keyboard.PendingKey = static_cast<int8_t>(spec.Key);
  if (spec.HasMouse) {
    cpu.MouseThings.X = spec.MouseX;
    cpu.MouseThings.Y = spec.MouseY;
    cpu.MouseThings.Button = spec.MouseButton;
  }
  const fs::path floppyPath = scratch.Path / "floppy.img", diskPath = scratch.Path / "disk.img";
  if (spec.Floppy && !OpenImage(cpu.Floppy, floppyPath, problems)) return problems;
  if (spec.Disk && !OpenImage(cpu.HardDisk, diskPath, problems)) return problems;
  if (cpu.LoadBiosImage(imagePath) != 0) return {"the core did not load the image"};
  cpu.Reset();

  bool failed = false;
  uint64_t steps = 0;
  while (cpu.GetProgramCounter() != image.size() && steps < kStepLimit) {
    if (!cpu.Step()) {
      failed = true;
      break;
    }
    ++steps;
  }
  if (steps == kStepLimit) problems.push_back("still running after " + std::to_string(kStepLimit) + " steps");
  if (failed != spec.ExpectFailed)
    problems.push_back(failed ? "a step failed at IP " + Hex128Text(ReadRegister(cpu, 256 + TTALVOCPU::IP))
                              : "no step failed");

  CompareRegisters(cpu, spec, problems);
  CompareMemory(cpu, spec, problems);
  CompareHost(host, spec, problems);
  cpu.Floppy.Close();
  cpu.HardDisk.Close();
  if (spec.Floppy) CompareBytes("floppy", ReadBytes(floppyPath), spec.FloppyBytes, problems);
  if (spec.Disk) CompareBytes("disk", ReadBytes(diskPath), spec.DiskBytes, problems);
  return problems;
}
