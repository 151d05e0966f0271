// A fuzzed program on a fresh machine per input, as the simulator runs one: the
// settings file names the BIOS, the core's construction reads it and copies the
// BIOS to address 0. The input gives the port table, device events (keys, mouse,
// timer ticks) at fuzzed steps, the contents of both disk images and the BIOS.
//
// Properties: a step that fails changes no register and no byte of memory; nothing
// outside the memory block changes: not the BIOS image, not the byte after the block
// (which holds a value no copy can write there), not the port table, and no file but
// the two disk images, which never grow beyond their disk's capacity; Run, in blocks
// between the same events, ends in exactly the state that as many Steps leave.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "fuzz_machine.h"
#include "machine/headless_host.h"
#include "machine_state.h"
#include "standing_clock.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSteps = 4000;
constexpr int kMaxEvents = 32;

struct TDeviceEvent {
  enum Kind : uint8_t { Key, MouseDown, MouseMove, TimerTick };
  int Step;
  Kind What;
  uint8_t A, B;
};

struct TMachineState {
  Value128 Regs[256];
  Value128 Specials[isa::kSpecialRegisterCount];
  std::vector<uint8_t> Memory;

  void Take(const TTALVOCPU& cpu, bool withMemory) {
    std::memcpy(Regs, cpu.Regs, sizeof Regs);
    std::memcpy(Specials, cpu.SpecialRegs, sizeof Specials);
    Memory.clear();
    if (withMemory) Memory.assign(cpu.Memory, cpu.Memory + cpu.MemAllocated);
  }
  bool Same(const TTALVOCPU& cpu) const {
    return std::memcmp(Regs, cpu.Regs, sizeof Regs) == 0 &&
           std::memcmp(Specials, cpu.SpecialRegs, sizeof Specials) == 0 &&
           (Memory.empty() || std::memcmp(Memory.data(), cpu.Memory, Memory.size()) == 0);
  }
};

// Opcodes that write memory: a failed one of these is checked byte for byte.
bool WritesMemory(uint8_t opcode) {
  switch (opcode) {
    case 0x02: case 0x04: case 0x30: case 0x32: case 0x34: case 0x52: case 0x60: return true;
    default: return false;
  }
}

// A value for the byte after the memory block that the next step cannot write there:
// every byte an instruction writes comes from memory, a register or a return address
// it pushes, so a value found in none of them shows any write past the block. The
// current one stays while it is such a value; otherwise the rarest value is taken.
uint8_t GuardValue(const TTALVOCPU& cpu, uint8_t current) {
  const Value128 ip = *cpu.GetSpecialRegBits(TTALVOCPU::IP);
  const Value128 returnAddresses[2] = {ip + 4, ip + 20};
  const std::pair<const void*, size_t> sources[] = {{cpu.Memory, cpu.MemAllocated},
                                                    {cpu.Regs, sizeof cpu.Regs},
                                                    {cpu.SpecialRegs, sizeof cpu.SpecialRegs},
                                                    {returnAddresses, sizeof returnAddresses}};
  const auto holds = [](const std::pair<const void*, size_t>& source, uint8_t value) {
    return std::memchr(source.first, value, source.second) != nullptr;
  };
  if (std::none_of(std::begin(sources), std::end(sources), [&](const auto& source) { return holds(source, current); }))
    return current;
  uint64_t counts[256] = {};
  for (const auto& [bytes, size] : sources)
    for (size_t i = 0; i < size; ++i) ++counts[static_cast<const uint8_t*>(bytes)[i]];
  return static_cast<uint8_t>(std::min_element(std::begin(counts), std::end(counts)) - std::begin(counts));
}

std::vector<TDeviceEvent> ReadEvents(TFuzzInput& input) {
  std::vector<TDeviceEvent> events;
  const int count = input.Byte() % (kMaxEvents + 1);
  int step = 0;
  for (int i = 0; i < count; ++i) {
    step += input.Byte() * 8;
    const auto what = static_cast<TDeviceEvent::Kind>(input.Byte() % 4);
    events.push_back({step, what, input.Byte(), input.Byte()});
  }
  return events;
}

// What the main window does on a key press, a mouse press or move and a timer tick;
// the number of the interrupt when the core recorded it, else -1.
int Deliver(TTALVOCPU& cpu, const TDeviceEvent& event) {
  int number = 6;
  switch (event.What) {
    case TDeviceEvent::Key:
      cpu.Keyboard.PendingKey = static_cast<int8_t>(event.A);
      number = 2;
      break;
    case TDeviceEvent::MouseDown:
    case TDeviceEvent::MouseMove:
      cpu.MouseThings.X = event.A;
      cpu.MouseThings.Y = event.B;
      cpu.MouseThings.Button = event.What == TDeviceEvent::MouseDown ? 1 << (event.B % 3) : 0;
      number = 1;
      break;
    case TDeviceEvent::TimerTick:
      break;
  }
  return cpu.RaiseHardwareInterrupt(number) == 0 ? number : -1;
}

// The one change a failed step may show: an interrupt recorded earlier was delivered
// (PSW, IP and IS pushed, IS zero, IP at its entry) before the instruction there failed.
bool OnlyDelivered(const TMachineState& before, const TTALVOCPU& cpu, uint32_t recorded) {
  if (std::memcmp(before.Regs, cpu.Regs, sizeof before.Regs) != 0) return false;
  const auto slot = [](int number) { return TTALVOCPU::SpecialSlot[number]; };
  const Value128 entry = cpu.SpecialRegs[slot(TTALVOCPU::IP)];
  if (entry % 256 != 0 || entry / 256 > 31 || (recorded >> static_cast<int>(entry / 256) & 1) == 0) return false;
  for (int number = 0; number < isa::kSpecialRegisterCount; ++number) {
    Value128 expected = before.Specials[slot(number)];
    if (number == TTALVOCPU::SP) expected += 48;
    if (number == TTALVOCPU::IS) expected = 0;
    if (number != TTALVOCPU::IP && cpu.SpecialRegs[slot(number)] != expected) return false;
  }
  return true;
}

std::string DiskContents(TFuzzInput& input) {
  const size_t size = input.Byte() * size_t{64};
  std::string bytes;
  for (size_t i = 0; i < size && !input.Empty(); ++i) bytes += static_cast<char>(input.Byte());
  return bytes;
}

void OpenDisk(TDiskDrive& drive, const std::string& path) {
  drive.FileName = path;
  Check(drive.Open() == 0, "harness: a disk image opens");
}

void CheckDiskSize(const TDiskDrive& drive) {
  std::error_code error;
  const uintmax_t size = fs::file_size(drive.FileName, error);
  Check(!error && size <= static_cast<uintmax_t>(drive.Capacity()), "a disk image never grows beyond its disk");
}

struct TOutcome {
  uint64_t Steps = 0;
  bool Failed = false;
  bool operator==(const TOutcome&) const = default;
};

// One Step at a time, checking every step that fails and that no step writes the byte
// after the memory block.
TOutcome StepThrough(TTALVOCPU& cpu, const std::vector<TDeviceEvent>& events) {
  size_t next = 0;
  uint32_t recorded = 0;
  TMachineState before;
  TOutcome outcome;
  for (int step = 0; step < kSteps; ++step) {
    for (; next < events.size() && events[next].Step <= step; ++next) {
      const int number = Deliver(cpu, events[next]);
      if (number >= 0) recorded |= 1u << number;
    }
    const uint32_t pc = cpu.GetProgramCounter();
    const bool memoryWrite = uint64_t{pc} + 4 <= cpu.MemAllocated && WritesMemory(cpu.Memory[pc + 3]);
    before.Take(cpu, memoryWrite);
    uint8_t& afterTheBlock = cpu.Memory[cpu.MemAllocated];
    if (memoryWrite) afterTheBlock = GuardValue(cpu, afterTheBlock);
    const uint8_t guard = afterTheBlock;
    const bool done = cpu.Step();
    Check(afterTheBlock == guard, "no step writes the byte after the memory block");
    if (done) {
      ++outcome.Steps;
      continue;
    }
    Check(before.Same(cpu) || OnlyDelivered(before, cpu, recorded),
          "a failed step changes no register and no byte of memory");
    outcome.Failed = true;
    break;
  }
  return outcome;
}

// Blocks of Run between the same events.
TOutcome RunThrough(TTALVOCPU& cpu, const std::vector<TDeviceEvent>& events) {
  TOutcome outcome;
  const auto runUntil = [&](uint64_t steps) {
    const TTALVOCPU::TRunResult result = cpu.Run(steps - outcome.Steps);
    outcome.Steps += result.Steps;
    outcome.Failed = result.Failed;
  };
  for (const TDeviceEvent& event : events) {
    if (event.Step >= kSteps) break;
    if (static_cast<uint64_t>(event.Step) > outcome.Steps) runUntil(static_cast<uint64_t>(event.Step));
    if (outcome.Failed) return outcome;
    Deliver(cpu, event);
  }
  runUntil(kSteps);
  return outcome;
}

struct TFuzzedMachine {
  TPortTable Ports;
  std::vector<TDeviceEvent> Events;
  std::string Floppy, Disk, Bios;
};

// A fresh machine with the input's BIOS, ports and disk contents, its disk images
// named after the way it runs.
struct TMachine {
  THeadlessHost Host{64, 48};
  std::unique_ptr<TTALVOCPU> Cpu;

  TMachine(const TFuzzedMachine& fuzzed, const std::string& name) : Cpu(NewSmallCore(fuzzed.Bios)) {
    Cpu->Host = &Host;
    Cpu->TimerThings.HostClock = &StandingClock;
    Cpu->LoadPortTable(fuzzed.Ports);
    OpenDisk(Cpu->Floppy, WriteScratch(name + "_floppy.img", fuzzed.Floppy));
    OpenDisk(Cpu->HardDisk, WriteScratch(name + "_disk.img", fuzzed.Disk));
  }
};

// The fuzzed program on a machine of its own, one Step at a time, with the
// properties of a single machine.
TOutcome StepAndCheck(const TFuzzedMachine& fuzzed, TMachine& machine) {
  TTALVOCPU& cpu = *machine.Cpu;
  const std::string settingBytes = ReadScratch(ScratchSettingName());
  // The image holds as much of the file as memory does.
  const size_t held = std::min<size_t>(fuzzed.Bios.size(), cpu.MemAllocated);
  Check(cpu.BiosLen == static_cast<int32_t>(held) && std::memcmp(cpu.Memory, fuzzed.Bios.data(), held) == 0,
        "the BIOS the settings name is at address 0");
  const uint8_t* memory = cpu.Memory;
  const uint64_t allocated = cpu.MemAllocated;
  TOutcome outcome;
  {
    std::lock_guard<TCoreLock> guard(cpu.CoreLock);
    outcome = StepThrough(cpu, fuzzed.Events);
  }
  Check(cpu.Memory == memory && cpu.MemAllocated == allocated, "the memory block stays");
  Check(cpu.PortTable == fuzzed.Ports, "a program does not change the port table");
  Check(cpu.BiosLen == 0 || std::memcmp(cpu.BiosImage, fuzzed.Bios.data(), held) == 0,
        "a program does not change the BIOS image");
  Check(ReadScratch("bios.bin") == fuzzed.Bios && ReadScratch(ScratchSettingName()) == settingBytes,
        "a program does not change the BIOS or the settings file");
  CheckDiskSize(cpu.Floppy);
  CheckDiskSize(cpu.HardDisk);
  return outcome;
}

// Step and Run end alike: the same steps, registers, memory, devices, screen and disk
// images.
bool RunEndsAsStepsDo(const TFuzzedMachine& fuzzed) {
  TMachine stepped(fuzzed, "stepped");
  TMachine run(fuzzed, "run");
  const TOutcome byStep = StepAndCheck(fuzzed, stepped);
  TOutcome byRun;
  {
    std::lock_guard<TCoreLock> guard(run.Cpu->CoreLock);
    byRun = RunThrough(*run.Cpu, fuzzed.Events);
  }
  return byStep == byRun && EndedAlike(*stepped.Cpu, stepped.Host, *run.Cpu, run.Host) &&
         ReadScratch("stepped_floppy.img") == ReadScratch("run_floppy.img") &&
         ReadScratch("stepped_disk.img") == ReadScratch("run_disk.img");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  TFuzzedMachine fuzzed;
  for (int32_t& port : fuzzed.Ports) port = static_cast<int32_t>(input.Word());
  fuzzed.Events = ReadEvents(input);
  fuzzed.Floppy = DiskContents(input);
  fuzzed.Disk = DiskContents(input);
  fuzzed.Bios = input.Rest();
  Check(RunEndsAsStepsDo(fuzzed), "Run ends in the state as many Steps leave");
  return 0;
}
