// Comparison, jumps, calls, software interrupts and the stack. The stack grows
// upwards in memory, 16 bytes an entry at the low 32 bits of SP. Instructions that
// push or pop several entries check them all first, so a stack that leaves memory
// changes nothing.

#include "isa/instruction_set.h"
#include "machine/core_kernels.h"
#include "machine/reg_bits.h"
#include "machine/talvo_cpu.h"

using namespace core_kernels;

namespace {

// A software interrupt enters at this many bytes per interrupt number.
constexpr uint64_t kSoftwareVectorBytes = 8;

bool IsReg(int32_t n) { return static_cast<uint32_t>(n) < 256; }

}  // namespace

bool TTALVOCPU::PushValues(const Value128* values, int count) {
  return PushEntries(MemoryBlock(), Special(SP), values, count);
}

bool TTALVOCPU::PopValues(Value128* values, int count) {
  if (!PopEntries(MemoryBlock(), Special(SP), values, count)) return false;
  Special(SS) = 0;
  return true;
}

bool TTALVOCPU::OpCmp(int32_t x, int32_t y) {
  if (!IsReg(x) || !IsReg(y)) return false;
  Compare(Regs[x], Regs[y], Special(PSW));
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpJmp(int32_t s, int32_t o) {
  if (!IsReg(s) || !IsReg(o)) return false;
  Special(IS) = Regs[s];
  Special(IP) = Regs[o];
  return true;
}

// Offsets are relative to the jump itself and wrap modulo 2^128.
bool TTALVOCPU::ConditionalJump(uint8_t opcode, int32_t s, int32_t o) {
  if (!IsReg(s) || !IsReg(o)) return false;
  if (!JumpTaken(opcode, Special(PSW))) return AdvanceIP(isa::kWordBytes);
  Special(IP) += Regs[o];
  Special(IS) += Regs[s];
  return true;
}

bool TTALVOCPU::OpJQ(int32_t s, int32_t o) { return ConditionalJump(isa::JQ, s, o); }
bool TTALVOCPU::OpJNQ(int32_t s, int32_t o) { return ConditionalJump(isa::JNQ, s, o); }
bool TTALVOCPU::OpJL(int32_t s, int32_t o) { return ConditionalJump(isa::JL, s, o); }
bool TTALVOCPU::OpJG(int32_t s, int32_t o) { return ConditionalJump(isa::JG, s, o); }

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
