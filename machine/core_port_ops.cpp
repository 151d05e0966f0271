// OUT, IN and DMA: port numbers are matched against the port table in a fixed order,
// the first matching entry naming the device operation.

#include "isa/instruction_set.h"
#include "isa/special_registers.h"
#include "machine/talvo_cpu.h"

namespace {

constexpr int kMatchOrder[24] = {13, 8, 3, 4, 9, 14, 2, 7, 12, 1, 6, 11, 0, 5, 10, 15, 16, 17, 18, 19, 20, 21, 22, 23};

bool IsReg(int32_t n) { return static_cast<uint32_t>(n) < 256; }

// base +/- the low 64 bits of the register by its sign bit, modulo 2^64.
uint64_t DmaAddress(uint64_t base, Value128 reg) {
  return (reg & core_kernels::kSignBit) != 0 ? base - Low64(reg) : base + Low64(reg);
}

// The entry the port value selects, or -1. A table entry is read as unsigned 32-bit,
// so a port value of 2^32 or more matches nothing.
int MatchPort(const TPortTable& table, uint64_t port) {
  for (const int entry : kMatchOrder)
    if (port == static_cast<uint32_t>(table[entry])) return entry;
  return -1;
}

}  // namespace

bool TTALVOCPU::OpOut(int32_t p, int32_t v) {
  if (!IsReg(p) || !IsReg(v)) return false;
  const Value128 value = Regs[v];
  // The devices report their own troubles; a program goes on regardless.
  switch (MatchPort(PortTable, Low64(Regs[p]))) {
    case 0: VideoPort.SetAddress(value); break;
    case 1: HardDisk.WriteData(value); break;
    case 2: Floppy.WriteData(value); break;
    case 3: ComPort.Write2(value); break;
    case 4: Lpt.Write2(value); break;
    case 5: VideoPort.Write(value, Host); break;
    case 6: HardDisk.SetPosition(value); break;
    case 7: Floppy.SetPosition(value); break;
    case 8: ComPort.Write1(value); break;
    case 9: Lpt.Write1(value); break;
    case 10: VideoPort.Control(value, Host); break;
    case 11: HardDisk.Command(value); break;
    case 12: Floppy.Command(value); break;
    case 13: ComPort.Write3(value); break;
    case 14: Lpt.Write3(value); break;
    case 17: Keyboard.Control(value); break;
    case 20: MouseThings.Control(value); break;
    case 22: TimerThings.WriteClock(value); break;
    case 23: TimerThings.Control(value, Host); break;
    default: break;  // no match, or an entry that takes nothing
  }
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpIn(int32_t p, int32_t d) {
  if (!IsReg(p) || !IsReg(d)) return false;
  Value128 value = 0;
  int result = -1;
  switch (MatchPort(PortTable, Low64(Regs[p]))) {
    case 0: result = VideoPort.ReadAddress(value); break;
    case 1: result = HardDisk.ReadData(value); break;
    case 2: result = Floppy.ReadData(value); break;
    case 3: result = ComPort.Read2(value); break;
    case 4: result = Lpt.Read2(value); break;
    case 5: result = VideoPort.ReadData(value); break;
    case 6: result = HardDisk.ReadPosition(value); break;
    case 7: result = Floppy.ReadPosition(value); break;
    case 8: result = ComPort.Read1(value); break;
    case 9: result = Lpt.Read1(value); break;
    case 10: result = VideoPort.ReadControl(value); break;
    case 11: result = HardDisk.ReadCommand(value); break;
    case 12: result = Floppy.ReadCommand(value); break;
    case 13: result = ComPort.Read3(value); break;
    case 14: result = Lpt.Read3(value); break;
    case 15: result = Keyboard.Read(value); break;
    case 18: result = MouseThings.Read(value); break;
    case 22: result = TimerThings.ReadClock(value); break;
    case 23: result = TimerThings.ReadStatus(value, Host); break;
    default: break;  // no match, or an entry with nothing to read: R[d] stays
  }
  if (result == 0) Regs[d] = value;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpDMA(int32_t d, int32_t s, int32_t c) {
  if (!IsReg(d) || !IsReg(s) || !IsReg(c)) return false;
  const uint64_t base = Low64(Special(DO));
  const uint32_t to = static_cast<uint32_t>(DmaAddress(base, Regs[d]));
  const uint32_t from = static_cast<uint32_t>(DmaAddress(base, Regs[s]));
  const uint64_t count = Low64(Regs[c]);
  // A count of 0 copies nothing, wherever the registers point.
  if (count != 0) {
    if (!InMemory(to, count) || !InMemory(from, count)) return false;
    MemoryBlock().Move(to, from, count);
  }
  return AdvanceIP(isa::kWordBytes);
}
