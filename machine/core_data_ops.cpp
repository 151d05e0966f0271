// Moves between registers and memory, arithmetic, logic and shifts. Register numbers
// from an instruction word are always in range; the checks matter for the test
// dialog and the editors, which pass typed numbers.

#include "isa/instruction_set.h"
#include "machine/core_kernels.h"
#include "machine/reg_bits.h"
#include "machine/talvo_cpu.h"

using namespace core_kernels;

namespace {

bool IsReg(int32_t n) { return static_cast<uint32_t>(n) < 256; }
bool AreRegs(int32_t a, int32_t b) { return IsReg(a) && IsReg(b); }
bool AreRegs(int32_t a, int32_t b, int32_t c) { return IsReg(a) && IsReg(b) && IsReg(c); }
uint32_t Address(Value128 reg) { return static_cast<uint32_t>(reg); }

}  // namespace

bool TTALVOCPU::OpCopy(int32_t d, int32_t s) {
  if (!AreRegs(d, s)) return false;
  Regs[d] = Regs[s];
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpCopyMemMem(int32_t d, int32_t x, int32_t s) {
  if (!AreRegs(d, x, s)) return false;
  const TMemory memory = MemoryBlock();
  const uint32_t to = Address(Regs[d]), from = Address(Regs[s]);
  if (!memory.HoldsValue(to) || !memory.HoldsValue(from)) return false;
  memory.Move(to, from, 16);
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpCopyMemReg(int32_t d, int32_t x, int32_t s) {
  const TMemory memory = MemoryBlock();
  if (!AreRegs(d, x, s) || !memory.HoldsValue(Address(Regs[s]))) return false;
  Regs[d] = memory.Read128(Address(Regs[s]));
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpCopyRegMem(int32_t x, int32_t a, int32_t s) {
  const TMemory memory = MemoryBlock();
  if (!AreRegs(x, a, s) || !memory.HoldsValue(Address(Regs[a]))) return false;
  memory.Write128(Address(Regs[a]), Regs[s]);
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpGetSpecial(int32_t d, int32_t n) {
  if (!IsReg(d) || n < 0 || n >= isa::kSpecialRegisterCount) return false;
  Regs[d] = Special(n);
  return AdvanceIP(isa::kWordBytes);
}

// Setting IP and then advancing it continues at the value + 4.
bool TTALVOCPU::OpSetSpecial(int32_t n, int32_t s) {
  if (!IsReg(s) || n < 0 || n >= isa::kSpecialRegisterCount) return false;
  Special(n) = Regs[s];
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpAdd(int32_t x, int32_t y, int32_t d) {
  if (!AreRegs(x, y, d)) return false;
  Regs[d] = Add(Regs[x], Regs[y], Special(PSW));
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpSub(int32_t d, int32_t x, int32_t y) {
  if (!AreRegs(d, x, y)) return false;
  Regs[d] = Subtract(Regs[x], Regs[y], Special(PSW));
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpMul(int32_t d, int32_t x, int32_t y) {
  if (!AreRegs(d, x, y) || d == 255) return false;
  Value128 high, low;
  Multiply(Regs[x], Regs[y], high, low);
  Regs[d] = low;
  Regs[d + 1] = high;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpDiv(int32_t d, int32_t x, int32_t y) {
  if (!AreRegs(d, x, y) || d == 255) return false;
  Value128 quotient, remainder;
  if (!Divide(Regs[x], Regs[y], quotient, remainder)) return false;
  Regs[d] = quotient;
  Regs[d + 1] = remainder;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpSetF(int32_t d) {
  if (!IsReg(d)) return false;
  Regs[d] = kAllOnes;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpZero(int32_t d) {
  if (!IsReg(d)) return false;
  Regs[d] = 0;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpInc(int32_t d, int32_t s) {
  if (!AreRegs(d, s)) return false;
  Regs[d] = Add(Regs[s], 1, Special(PSW));
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpDec(int32_t d, int32_t s) {
  if (!AreRegs(d, s)) return false;
  Regs[d] = Subtract(Regs[s], 1, Special(PSW));
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpAnd(int32_t d, int32_t x, int32_t y) {
  if (!AreRegs(d, x, y)) return false;
  Regs[d] = Regs[x] & Regs[y];
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpOr(int32_t d, int32_t x, int32_t y) {
  if (!AreRegs(d, x, y)) return false;
  Regs[d] = Regs[x] | Regs[y];
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpXor(int32_t d, int32_t x, int32_t y) {
  if (!AreRegs(d, x, y)) return false;
  Regs[d] = Regs[x] ^ Regs[y];
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpNot(int32_t d, int32_t s) {
  if (!AreRegs(d, s)) return false;
  Regs[d] = ~Regs[s];
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpLL(int32_t d, int32_t s, int32_t c) {
  if (!AreRegs(d, s, c) || !Shift(Regs[s], Low64(Regs[c]), true, Regs[d])) return false;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpRR(int32_t d, int32_t s, int32_t c) {
  if (!AreRegs(d, s, c) || !Shift(Regs[s], Low64(Regs[c]), false, Regs[d])) return false;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::LoadImmediate(uint8_t d, Value128 value) {
  Regs[d] = value;
  return AdvanceIP(isa::kLongInstructionBytes);
}

bool TTALVOCPU::OpLoadImm(int32_t d, const RegBits* value) {
  if (value == nullptr || !IsReg(d)) return false;
  return LoadImmediate(static_cast<uint8_t>(d), value->Value());
}
