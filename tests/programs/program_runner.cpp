#include "program_runner.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "machine/talvo_cpu.h"
#include "machine/text_views.h"
#include "toolchain/asm_file.h"
#include "toolchain/convert_error.h"
#include "../machine/recording_host.h"
#include "../machine/standing_clock.h"

namespace fs = std::filesystem;

namespace {

std::string RegisterName(int reg) {
  return reg < 256 ? "R" + std::to_string(reg) : SpecialRegName(reg - 256);
}

// The image the assembler writes for the source, or an empty path.
std::string Assemble(const fs::path& source, std::vector<std::string>& problems) {
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
  return fs::path(source).replace_extension(".tvxbin").string();
}

bool OpenImage(TDiskDrive& drive, const std::string& path, std::vector<std::string>& problems) {
  drive.FileName = path;
  if (drive.Open() == 0) return true;
  problems.push_back("cannot open the image " + path);
  return false;
}

void CompareBytes(const char* what, const std::function<int(uint64_t)>& byteAt,
                  const std::vector<TExpectedBytes>& expected, std::vector<std::string>& problems) {
  for (const TExpectedBytes& want : expected)
    for (size_t i = 0; i < want.Bytes.size(); ++i) {
      const uint64_t at = want.Address + i;
      const int have = byteAt(at);
      if (have != want.Bytes[i]) {
        char text[120];
        std::snprintf(text, sizeof text, "%s byte %llX is %d, expected %d", what,
                      static_cast<unsigned long long>(at), have, want.Bytes[i]);
        problems.emplace_back(text);
      }
    }
}

void CompareFile(const char* what, const std::string& path, const std::vector<TExpectedBytes>& expected,
                 std::vector<std::string>& problems) {
  const std::string bytes = ReadBytes(path);
  CompareBytes(what, [&](uint64_t at) { return at < bytes.size() ? static_cast<uint8_t>(bytes[at]) : -1; },
               expected, problems);
}

void CompareRegisters(const TProgramSpec& spec, const TEndState& end, std::vector<std::string>& problems) {
  std::vector<bool> named(end.Registers.size(), false);
  for (const auto& [reg, value] : spec.Registers) {
    named[reg] = true;
    if (end.Registers[reg] != value)
      problems.push_back(RegisterName(reg) + " is " + Hex128Text(end.Registers[reg]) + ", expected " +
                         Hex128Text(value));
  }
  if (!spec.OthersZero) return;
  for (int reg = 0; reg < static_cast<int>(end.Registers.size()); ++reg)
    if (!named[reg] && reg != 256 + TTALVOCPU::IP && end.Registers[reg] != 0)
      problems.push_back(RegisterName(reg) + " is " + Hex128Text(end.Registers[reg]) + ", expected 0");
}

void CompareHost(THeadlessHost& host, const TProgramSpec& spec, std::vector<std::string>& problems) {
  for (const auto& pixel : spec.Pixels) {
    const uint32_t have = host.Screen().Pixel(pixel.X, pixel.Y);
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

bool PrepareTestProgram(const std::string& sourcePath, const TScratchFolder& scratch, TPreparedProgram& out,
                        std::vector<std::string>& problems) {
  const std::string sourceText = ReadBytes(sourcePath);
  std::string specError;
  if (sourceText.empty() || !ParseProgramSpec(sourceText, out.Spec, specError)) {
    problems.push_back("cannot read the program's expectations: " + specError);
    return false;
  }
  const fs::path source = scratch.Path / fs::path(sourcePath).filename();
  fs::copy_file(sourcePath, source);
  out.ImagePath = Assemble(source, problems);
  if (out.ImagePath.empty()) return false;
  out.Image = ReadBytes(out.ImagePath);
  if (out.Spec.Floppy) out.FloppyPath = scratch.File("floppy.img");
  if (out.Spec.Disk) out.DiskPath = scratch.File("disk.img");
  return true;
}

void CompareEndState(const TPreparedProgram& program, const TEndState& end, std::vector<std::string>& problems) {
  const TProgramSpec& spec = program.Spec;
  if (end.Failed != spec.ExpectFailed)
    problems.push_back(end.Failed ? "a step failed at IP " + Hex128Text(end.Registers[256 + TTALVOCPU::IP])
                                  : "no step failed");
  CompareRegisters(spec, end, problems);
  CompareBytes("memory", end.MemoryByte, spec.Memory, problems);
  if (spec.Floppy) CompareFile("floppy", program.FloppyPath, spec.FloppyBytes, problems);
  if (spec.Disk) CompareFile("disk", program.DiskPath, spec.DiskBytes, problems);
}

bool SetUpMachine(const TPreparedProgram& program, TTALVOCPU& cpu, THeadlessHost& host, const std::string& floppy,
                  const std::string& disk, std::vector<std::string>& problems) {
  const TProgramSpec& spec = program.Spec;
  host.Screen().Resize(spec.ScreenWidth, spec.ScreenHeight);
  cpu.Host = &host;
  cpu.TimerThings.HostClock = &StandingClock;
  cpu.SettingPath = "/nonexistent-folder/test-program.setting";
  cpu.LoadPortTable(DefaultPortTable());
  for (const auto& [entry, port] : spec.Ports) cpu.PortTable[entry] = port;
  if (spec.Key != 0) cpu.Keyboard.PendingKey = static_cast<int8_t>(spec.Key);
  if (spec.HasMouse) {
    cpu.MouseThings.X = spec.MouseX;
    cpu.MouseThings.Y = spec.MouseY;
    cpu.MouseThings.Button = spec.MouseButton;
  }
  if (spec.Floppy && !OpenImage(cpu.Floppy, floppy, problems)) return false;
  if (spec.Disk && !OpenImage(cpu.HardDisk, disk, problems)) return false;
  if (cpu.LoadBiosImage(program.ImagePath) != 0) {
    problems.push_back("the core did not load the image");
    return false;
  }
  cpu.Reset();
  return true;
}

std::vector<std::string> RunTestProgram(const std::string& sourcePath) {
  std::vector<std::string> problems;
  TScratchFolder scratch;
  TPreparedProgram program;
  if (!PrepareTestProgram(sourcePath, scratch, program, problems)) return problems;
  RecordingHost host;
  TTALVOCPU cpu;
  if (!SetUpMachine(program, cpu, host, program.FloppyPath, program.DiskPath, problems)) return problems;

  TEndState end;
  uint64_t steps = 0;
  while (cpu.GetProgramCounter() != program.Image.size() && steps < kTestProgramStepLimit) {
    if (!cpu.Step()) {
      end.Failed = true;
      break;
    }
    ++steps;
  }
  if (steps == kTestProgramStepLimit)
    problems.push_back("still running after " + std::to_string(kTestProgramStepLimit) + " steps");

  for (int reg = 0; reg < 256; ++reg) end.Registers[reg] = cpu.Regs[reg];
  for (int n = 0; n < isa::kSpecialRegisterCount; ++n) end.Registers[256 + n] = *cpu.GetSpecialRegBits(n);
  // MemSize may name more than the last reset could allocate; only the block is read.
  end.MemoryByte = [&cpu](uint64_t at) { return cpu.Memory && at < cpu.MemAllocated ? cpu.Memory[at] : -1; };
  CompareHost(host, program.Spec, problems);
  cpu.Floppy.Close();
  cpu.HardDisk.Close();
  CompareEndState(program, end, problems);
  return problems;
}
