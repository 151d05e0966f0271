// Comparison, jumps, calls, software interrupts and the stack. The stack grows
// upwards in memory, 16 bytes an entry. Instructions that push or pop several
// entries check them all first, so a stack that leaves memory changes nothing.

#include "machine/reg_bits.h"
#include "isa/instruction_set.h"
#include "isa/special_registers.h"
#include "machine/talvo_cpu.h"

namespace {

constexpr int kEntryBytes = 16;
constexpr Value128 kSignBit = Value128{1} << 127;
// A software interrupt enters at this many bytes per interrupt number.
constexpr uint64_t kSoftwareVectorBytes = 8;

bool IsReg(int32_t n) { return static_cast<uint32_t>(n) < 256; }

// base +/- the magnitude of a sign-magnitude offset, modulo 2^128.
Value128 AddSignMagnitude(Value128 base, Value128 offset) {
  const Value128 magnitude = offset & ~kSignBit;
  return (offset & kSignBit) != 0 ? base - magnitude : base + magnitude;
}

}  // namespace

// An entry's address is the low 32 bits of SP, whatever its upper bits hold.
uint32_t TTALVOCPU::StackAddress(uint64_t sp) { return static_cast<uint32_t>(sp); }

bool TTALVOCPU::PushValues(const Value128* values, int count) {
  uint64_t sp = Low64(Special(SP));
  for (int i = 0; i < count; ++i, sp += kEntryBytes)
    if (!InMemory(StackAddress(sp), kEntryBytes)) return false;
  for (int i = 0; i < count; ++i) {
    WriteMem128(StackAddress(Low64(Special(SP))), values[i]);
    Special(SP) += kEntryBytes;
  }
  return true;
}

// Each pop first takes 16 from the low 64 bits of SP; below 0 is an underflow.
bool TTALVOCPU::PopValues(Value128* values, int count) {
  uint64_t sp = Low64(Special(SP));
  for (int i = 0; i < count; ++i) {
    sp -= kEntryBytes;
    if (static_cast<int64_t>(sp) < 0 || !InMemory(StackAddress(sp), kEntryBytes)) return false;
  }
  sp = Low64(Special(SP));
  for (int i = 0; i < count; ++i) {
    sp -= kEntryBytes;
    values[i] = ReadMem128(StackAddress(sp));
  }
  Special(SP) = sp;
  Special(SS) = 0;
  return true;
}

bool TTALVOCPU::OpCmp(int32_t x, int32_t y) {
  if (!IsReg(x) || !IsReg(y)) return false;
  const Value128 flags = Value128{1} << isa::kLessBit | Value128{1} << isa::kEqualBit | Value128{1} << isa::kGreaterBit;
  const int bit = Regs[x] < Regs[y] ? isa::kLessBit : Regs[x] == Regs[y] ? isa::kEqualBit : isa::kGreaterBit;
  Special(PSW) = (Special(PSW) & ~flags) | Value128{1} << bit;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpJmp(int32_t s, int32_t o) {
  if (!IsReg(s) || !IsReg(o)) return false;
  Special(IS) = Regs[s];
  Special(IP) = Regs[o];
  return true;
}

// Offsets are relative to the jump itself and wrap modulo 2^128.
bool TTALVOCPU::ConditionalJump(bool taken, int32_t s, int32_t o) {
  if (!IsReg(s) || !IsReg(o)) return false;
  if (!taken) return AdvanceIP(isa::kWordBytes);
  Special(IP) += Regs[o];
  Special(IS) += Regs[s];
  return true;
}

bool TTALVOCPU::OpJQ(int32_t s, int32_t o) { return ConditionalJump((Special(PSW) >> isa::kEqualBit & 1) != 0, s, o); }
bool TTALVOCPU::OpJNQ(int32_t s, int32_t o) { return ConditionalJump((Special(PSW) >> isa::kEqualBit & 1) == 0, s, o); }
bool TTALVOCPU::OpJL(int32_t s, int32_t o) { return ConditionalJump((Special(PSW) >> isa::kLessBit & 1) != 0, s, o); }
bool TTALVOCPU::OpJG(int32_t s, int32_t o) { return ConditionalJump((Special(PSW) >> isa::kGreaterBit & 1) != 0, s, o); }

bool TTALVOCPU::OpCall(int32_t s, int32_t o) {
  if (!IsReg(s) || !IsReg(o)) return false;
  const Value128 ret[2] = {Special(IP) + isa::kWordBytes, Special(IS)};
  if (!PushValues(ret, 2)) return false;
  Special(IP) = AddSignMagnitude(Special(IP), Regs[o]);
  Special(IS) = AddSignMagnitude(Special(IS), Regs[s]);
  return true;
}

bool TTALVOCPU::CallFunc(Value128 offset) {
  const Value128 ret[2] = {Special(IP) + isa::kLongInstructionBytes, Special(IS)};
  if (!PushValues(ret, 2)) return false;
  Special(IP) = AddSignMagnitude(Special(IP), offset);
  return true;
}

bool TTALVOCPU::OpFunc(const RegBits* value) { return value != nullptr && CallFunc(value->Value()); }

bool TTALVOCPU::OpRet() {
  Value128 popped[2];
  if (!PopValues(popped, 2)) return false;
  Special(IS) = popped[0];
  Special(IP) = popped[1];
  return true;
}

bool TTALVOCPU::OpInt(int32_t r) {
  if (!IsReg(r)) return false;
  const Value128 entries[3] = {Special(PSW), Special(IP) + isa::kWordBytes, Special(IS)};
  if (!PushValues(entries, 3)) return false;
  Special(IS) = 0;
  Special(IP) = Low64(Regs[r]) * kSoftwareVectorBytes;
  return true;
}

bool TTALVOCPU::OpIRet() {
  Value128 popped[3];
  if (!PopValues(popped, 3)) return false;
  Special(IS) = popped[0];
  Special(IP) = popped[1];
  Special(PSW) = popped[2];
  return true;
}

bool TTALVOCPU::OpPush(int32_t r) {
  if (!IsReg(r) || !PushValues(&Regs[r], 1)) return false;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpPop(int32_t r) {
  if (!IsReg(r) || !PopValues(&Regs[r], 1)) return false;
  return AdvanceIP(isa::kWordBytes);
}
