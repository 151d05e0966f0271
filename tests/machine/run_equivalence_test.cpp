// Run and Step leave the same machine: random programs (jumps, calls, the stack,
// memory, every device at its default port, failing words, device interrupts
// raised between steps) end in identical state whether they go one Step at a time,
// through one Run, or through Runs of random lengths that stop in the middle.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>
#include <vector>

#include "../common/scratch.h"
#include "isa/instruction_set.h"
#include "machine/headless_host.h"
#include "machine/talvo_cpu.h"
#include "machine_state.h"
#include "program_words.h"
#include "standing_clock.h"
#include "step_or_run.h"

namespace {

using program_words::Back;
using program_words::Word;

constexpr uint32_t kMemBytes = 64 * 1024;
constexpr int kProgramWords = 512;

// The registers a random program works with. Results go to R1..R7 only, so the
// others keep what they were given: data addresses, jump targets and offsets, ports.
enum : uint32_t {
  kFirstResult = 1, kResults = 7,
  kFirstAddress = 8, kAddresses = 3,  // 16-byte entries in memory
  kCodeAddress = 11,                  // a word of the program
  kForward = 12, kBackward = 13,      // +8 and -8 for the conditional jumps
  kCallBack = 14,                     // -8 for CALL, in sign and magnitude
  kZero = 15,                         // segment offsets
  kFirstPort = 16, kPorts = 8,        // default port numbers
  kSixteen = 24,                      // a DMA count
  kInterruptsOn = 25,                 // ICW with interrupts enabled
  kSegment = 26,                      // not 0, for SS and IS
  kRegisters = 27,
};

Value128 RandomValue(std::mt19937_64& random) {
  switch (random() % 6) {
    case 0: return 0x4000 + (random() % 0xB000) / 16 * 16;
    case 1: return random() % 130;  // shift counts, divisors, interrupt numbers
    case 2: return MakeValue128(random(), random());
    case 3: return Value128{1} << (random() % 128);
    case 4: return ~Value128{0} - random() % 2;  // carries
    default: return random() % 4;
  }
}

struct TMachine {
  THeadlessHost Host{64, 48};
  TTALVOCPU Cpu;
};

// Operand fields for one instruction: mostly ones that let it work, so that programs
// run long enough to loop, call, push and reach the devices, and now and then any.
uint32_t RandomWord(std::mt19937_64& random, uint8_t opcode) {
  const auto pick = [&](uint32_t first, uint32_t count) { return first + static_cast<uint32_t>(random() % count); };
  const auto any = [&] { return pick(0, kRegisters); };
  const auto result = [&] { return pick(kFirstResult, kResults); };
  const auto address = [&] { return pick(kFirstAddress, kAddresses); };
  if (random() % 40 == 0) return Word(opcode, any(), any(), any());
  switch (opcode) {
    case isa::MM: return Word(opcode, address(), any(), address());
    case isa::MR: return Word(opcode, result(), any(), address());
    case isa::RM: return Word(opcode, any(), address(), any());
    case isa::Get: return Word(opcode, 0, result(), pick(0, isa::kSpecialRegisterCount));
    // SET leaves IP and SP alone, or the program would be lost at once; it often
    // enables interrupts.
    case isa::Set:
      if (random() % 2) return Word(opcode, 0, TTALVOCPU::ICW, kInterruptsOn);
      return Word(opcode, 0, std::vector<uint32_t>{0, 1, 2, 3, 4, 6, 7, 8}[random() % 8], any());
    case isa::Jmp: return Word(opcode, 0, kZero, kCodeAddress);
    case isa::JQ:
    case isa::JNQ:
    case isa::JL:
    case isa::JG: return Word(opcode, 0, kZero, random() % 2 ? kForward : kBackward);
    case isa::Call: return Word(opcode, 0, kZero, random() % 2 ? kForward : kCallBack);
    case isa::In: return Word(opcode, 0, pick(kFirstPort, kPorts), result());
    case isa::Out: return Word(opcode, 0, pick(kFirstPort, kPorts), any());
    case isa::Dma: return Word(opcode, address(), address(), kSixteen);
    default: break;
  }
  const isa::Form* form = isa::FormOf(opcode);
  const isa::Field destination = form != nullptr ? form->Destination : isa::Field::None;
  return Word(opcode, destination == isa::Field::A ? result() : any(), destination == isa::Field::B ? result() : any(),
              destination == isa::Field::C ? result() : any());
}

// Instruction words from the address on; gives the address after them.
uint32_t PutWords(TTALVOCPU& cpu, uint32_t at, std::initializer_list<uint32_t> words) {
  for (const uint32_t word : words)
    for (int i = 0; i < 4; ++i) cpu.Memory[at++] = static_cast<uint8_t>(word >> (8 * i));
  return at;
}

void Prepare(TMachine& machine, uint64_t seed, const std::string& floppy) {
  std::mt19937_64 random(seed);
  TTALVOCPU& cpu = machine.Cpu;
  cpu.Host = &machine.Host;
  cpu.TimerThings.HostClock = &StandingClock;
  cpu.SettingPath = "/nonexistent-folder/equivalence.setting";
  cpu.MemSize = kMemBytes;
  cpu.Reset();
  const TPortTable ports = DefaultPortTable();
  cpu.LoadPortTable(ports);
  cpu.Floppy.FileName = floppy;
  ASSERT_EQ(cpu.Floppy.Open(), 0);
  cpu.Keyboard.PendingKey = 'k';
  cpu.MouseThings.Button = 1;
  for (uint32_t r = 1; r < kRegisters; ++r) cpu.Regs[r] = RandomValue(random);
  for (uint32_t r = kFirstAddress; r < kFirstAddress + kAddresses; ++r)
    cpu.Regs[r] = 0x4000 + (random() % 0xB000) / 16 * 16;
  cpu.Regs[kCodeAddress] = (random() % kProgramWords) * 4;
  cpu.Regs[kForward] = 8;
  cpu.Regs[kBackward] = Back(8);
  cpu.Regs[kCallBack] = (Value128{1} << 127) | 8;
  cpu.Regs[kZero] = 0;
  for (uint32_t r = 0; r < kPorts; ++r) cpu.Regs[kFirstPort + r] = static_cast<uint32_t>(ports[random() % ports.size()]);
  cpu.Regs[kSixteen] = 16;
  cpu.Regs[kInterruptsOn] = Value128{1} << isa::kInterruptEnableBit;
  cpu.Regs[kSegment] = 1 + random() % 0xFFFF;
  *cpu.GetSpecialRegBits(TTALVOCPU::SP) = 0x8000;
  if (random() % 2 == 0) *cpu.GetSpecialRegBits(TTALVOCPU::ICW) = Value128{1} << isa::kInterruptEnableBit;

  uint32_t at = 0;
  auto emit = [&](uint32_t word) { at = PutWords(cpu, at, {word}); };
  while (at < kProgramWords * 4) {
    const uint8_t opcode = random() % 300 == 0 ? static_cast<uint8_t>(random())
                                               : isa::kForms[random() % std::size(isa::kForms)].Code;
    // A pop clears SS, and RET and IRET replace IS: let them find both set.
    if ((opcode == isa::Pop || opcode == isa::Ret || opcode == isa::IRet) && random() % 2 == 0) {
      emit(Word(isa::Set, 0, TTALVOCPU::SS, kSegment));
      emit(Word(isa::Set, 0, TTALVOCPU::IS, kSegment));
    }
    emit(RandomWord(random, opcode));
    if (isa::InstructionBytes(opcode) > isa::kWordBytes) {
      const Value128 immediate = opcode == isa::Func ? Value128{8} : RandomValue(random);
      for (int i = 0; i < 4; ++i) emit(static_cast<uint32_t>(immediate >> (32 * i)));
    }
  }
  // Device interrupt handlers, over the program's words, return at once; the mouse's
  // disables interrupts first, so that others stay pending until the program enables
  // them again.
  for (const uint32_t vector : {1u * 256, 2u * 256, 6u * 256}) {
    at = vector;
    if (vector == 256) emit(Word(isa::Set, 0, TTALVOCPU::ICW, 0));
    emit(Word(isa::IRet, 0, 0, 0));
  }
  // Some programs jump to an LD whose immediate would leave memory.
  if (random() % 4 == 0) {
    cpu.Regs[kCodeAddress] = kMemBytes - 8;
    at = kMemBytes - 8;
    emit(Word(isa::Ld, 1, 0, 0));
  }
}

class RunEquivalence : public ScratchFolderTest {
 protected:
  // Runs the three machines, one Step at a time, in one Run between raised
  // interrupts, and in Runs of random lengths, and expects them to end alike.
  TOutcome DriveAlike(uint64_t limit, const TRaises& raises, uint64_t seed, const std::string& context) {
    const TOutcome a = Drive(stepped_.Cpu, limit, raises, 0);
    const TOutcome b = Drive(run_.Cpu, limit, raises, 1);
    const TOutcome c = Drive(chunked_.Cpu, limit, raises, seed + 2);
    EXPECT_TRUE(a.Steps == b.Steps && a.Steps == c.Steps && a.Failed == b.Failed && a.Failed == c.Failed)
        << context << ": " << a.Steps << a.Failed << " " << b.Steps << b.Failed << " " << c.Steps << c.Failed;
    EXPECT_TRUE(EndedAlike(stepped_.Cpu, stepped_.Host, run_.Cpu, run_.Host)) << context;
    EXPECT_TRUE(EndedAlike(stepped_.Cpu, stepped_.Host, chunked_.Cpu, chunked_.Host)) << context;
    return a;
  }

  // Made once: each program resets them, and what a reset keeps (the devices) is
  // the same in all three after the program before.
  TMachine stepped_, run_, chunked_;
};

TEST_F(RunEquivalence, RandomProgramsEndAlikeThroughStepAndRun) {
  int failedRuns = 0, longRuns = 0;
  for (uint64_t seed = 1; seed <= 300; ++seed) {
    std::mt19937_64 random(seed * 7919);
    TRaises raises;
    // Now and then two at once: the second waits for the step after the first.
    const uint64_t first = random() % 200;
    raises.emplace_back(first, 1);
    raises.emplace_back(random() % 2 ? first : random() % 200, 6);
    raises.emplace_back(random() % 200, 2);
    std::sort(raises.begin(), raises.end());
    for (const uint64_t limit : {uint64_t{1}, uint64_t{5}, uint64_t{64}, uint64_t{3000}}) {
      Prepare(stepped_, seed, PathOf("stepped.img"));
      Prepare(run_, seed, PathOf("run.img"));
      Prepare(chunked_, seed, PathOf("chunked.img"));
      const std::string context = "seed " + std::to_string(seed) + " limit " + std::to_string(limit);
      const TOutcome outcome = DriveAlike(limit, raises, seed, context);
      for (TMachine* machine : {&stepped_, &run_, &chunked_}) machine->Cpu.Floppy.Close();
      const std::string floppy = ReadBytes(PathOf("stepped.img"));
      EXPECT_TRUE(floppy == ReadBytes(PathOf("run.img")) && floppy == ReadBytes(PathOf("chunked.img"))) << context;
      if (HasFailure()) return;
      if (limit == 3000) {
        failedRuns += outcome.Failed ? 1 : 0;
        longRuns += outcome.Steps >= 1000 ? 1 : 0;
      }
    }
  }
  // The generator must give both kinds: programs that fail and programs that run long.
  EXPECT_GT(failedRuns, 30);
  EXPECT_GT(longRuns, 30);
}

// A run ends after as many instructions through the operations as it was given, so
// that a block of device instructions stays short.
TEST_F(RunEquivalence, RunEndsAfterItsOperationSteps) {
  TTALVOCPU& cpu = run_.Cpu;
  cpu.Host = &run_.Host;
  cpu.SettingPath = "/nonexistent-folder/equivalence.setting";
  cpu.MemSize = kMemBytes;
  cpu.Reset();
  cpu.LoadPortTable(DefaultPortTable());
  cpu.Regs[1] = 0x09;  // the serial port's latch 1
  PutWords(cpu, 0, {Word(isa::Add, 2, 2, 3), Word(isa::Out, 0, 1, 2), Word(isa::Add, 2, 2, 3),
                    Word(isa::Out, 0, 1, 2), Word(isa::Add, 2, 2, 3), Word(isa::Out, 0, 1, 2)});
  const TTALVOCPU::TRunResult result = cpu.Run(100, 2);
  EXPECT_EQ(result.Steps, 4u);
  EXPECT_FALSE(result.Failed);
  EXPECT_EQ(cpu.GetProgramCounter(), 16u);
}

// After a word that reaches no operation, a run whose first fetch fails keeps the
// opcode the window shows, as a step does.
TEST_F(RunEquivalence, AFailedFetchKeepsTheDisplayFields) {
  for (TMachine* machine : {&stepped_, &run_}) {
    TTALVOCPU& cpu = machine->Cpu;
    cpu.SettingPath = "/nonexistent-folder/equivalence.setting";
    cpu.MemSize = kMemBytes;
    cpu.Reset();
    PutWords(cpu, 0, {Word(isa::Zero, 0, 0, 1), Word(0x07, 0, 0, 0)});
  }
  EXPECT_TRUE(stepped_.Cpu.Step());
  EXPECT_FALSE(stepped_.Cpu.Step());
  EXPECT_TRUE(run_.Cpu.Run(5).Failed);
  for (TMachine* machine : {&stepped_, &run_}) *machine->Cpu.GetSpecialRegBits(TTALVOCPU::IP) = kMemBytes;
  EXPECT_FALSE(stepped_.Cpu.Step());
  EXPECT_TRUE(run_.Cpu.Run(5).Failed);
  EXPECT_EQ(run_.Cpu.LastOpcodeText(), "0D");
  EXPECT_TRUE(EndedAlike(stepped_.Cpu, stepped_.Host, run_.Cpu, run_.Host));
}

// The core fuzz target's inputs, laid out as it lays them out: the port table, then
// memory, run with the timer interrupt raised every 1000 steps.
TEST_F(RunEquivalence, CoreFuzzInputsEndAlikeThroughStepAndRun) {
  constexpr size_t kPortBytes = 24 * 4;
  constexpr uint64_t kSteps = 20000;
  TRaises raises;
  for (uint64_t at = 1000; at < kSteps; at += 1000) raises.emplace_back(at, 6);
  const std::string empty(64 * 1024, '\0');
  for (const char* name : {"floppy", "disk"})
    for (const char* machine : {"stepped", "run", "chunked"}) WriteBytes(PathOf(std::string(machine) + name), empty);
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TALVO_SOURCE_DIR "/fuzz/corpus/core")) {
    const std::string data = ReadBytes(entry.path());
    ++inputs;
    for (const uint64_t limit : {uint64_t{1}, uint64_t{100}, kSteps}) {
      for (auto [machine, name] : {std::pair{&stepped_, "stepped"}, {&run_, "run"}, {&chunked_, "chunked"}}) {
        TTALVOCPU& cpu = machine->Cpu;
        cpu.Host = &machine->Host;
        cpu.TimerThings.HostClock = &StandingClock;
        cpu.SettingPath = "/nonexistent-folder/equivalence.setting";
        cpu.MemSize = kMemBytes;
        cpu.Reset();
        TPortTable ports = DefaultPortTable();
        std::memcpy(ports.data(), data.data(), std::min(data.size(), kPortBytes));
        cpu.LoadPortTable(ports);
        if (data.size() > kPortBytes)
          std::memcpy(cpu.Memory, data.data() + kPortBytes, std::min<size_t>(data.size() - kPortBytes, kMemBytes));
        if (!cpu.Floppy.IsOpen()) {
          cpu.Floppy.FileName = PathOf(std::string(name) + "floppy");
          cpu.HardDisk.FileName = PathOf(std::string(name) + "disk");
          ASSERT_EQ(cpu.Floppy.Open(), 0);
          ASSERT_EQ(cpu.HardDisk.Open(), 0);
        }
      }
      DriveAlike(limit, raises, inputs, entry.path().filename().string() + " limit " + std::to_string(limit));
      if (HasFailure()) return;
    }
  }
  EXPECT_GT(inputs, 100);
  for (const char* name : {"floppy", "disk"}) {
    const std::string image = ReadBytes(PathOf(std::string("stepped") + name));
    EXPECT_TRUE(image == ReadBytes(PathOf(std::string("run") + name)) &&
                image == ReadBytes(PathOf(std::string("chunked") + name)))
        << name;
  }
}

}  // namespace
