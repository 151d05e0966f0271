// Moves between registers and memory, arithmetic, logic and shifts. Register numbers
// from an instruction word are always in range; the checks matter for the test
// dialog and the editors, which pass typed numbers.

#include "machine/reg_bits.h"
#include "isa/instruction_set.h"
#include "isa/special_registers.h"
#include "machine/talvo_cpu.h"

namespace {

constexpr Value128 kAllOnes = ~Value128{0};

bool IsReg(int32_t n) { return static_cast<uint32_t>(n) < 256; }
bool AreRegs(int32_t a, int32_t b) { return IsReg(a) && IsReg(b); }
bool AreRegs(int32_t a, int32_t b, int32_t c) { return IsReg(a) && IsReg(b) && IsReg(c); }
uint32_t Address(Value128 reg) { return static_cast<uint32_t>(reg); }

void SetFlag(Value128& psw, int bit, bool on) {
  const Value128 mask = Value128{1} << bit;
  psw = on ? psw | mask : psw & ~mask;
}

// The full 256-bit product as (high, low).
void Multiply(Value128 x, Value128 y, Value128& high, Value128& low) {
  const Value128 xl = Low64(x), xh = High64(x), yl = Low64(y), yh = High64(y);
  const Value128 ll = xl * yl, lh = xl * yh, hl = xh * yl, hh = xh * yh;
  const Value128 middle = (ll >> 64) + Low64(lh) + Low64(hl);
  low = middle << 64 | Low64(ll);
  high = hh + (lh >> 64) + (hl >> 64) + (middle >> 64);
}

}  // namespace


Value128 TTALVOCPU::ReadMem128(uint32_t address) const {
  Value128 value = 0;
  for (int i = 15; i >= 0; --i) value = value << 8 | Memory[address + i];
  return value;
}

void TTALVOCPU::WriteMem128(uint32_t address, Value128 value) {
  for (int i = 0; i < 16; ++i) Memory[address + i] = static_cast<uint8_t>(value >> (8 * i));
}

bool TTALVOCPU::OpCopy(int32_t d, int32_t s) {
  if (!AreRegs(d, s)) return false;
  Regs[d] = Regs[s];
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpCopyMemMem(int32_t d, int32_t x, int32_t s) {
  if (!AreRegs(d, x, s)) return false;
  const uint32_t to = Address(Regs[d]), from = Address(Regs[s]);
  if (!InMemory(to, 16) || !InMemory(from, 16)) return false;
  // Byte by byte upwards: an overlapping destination above the source repeats bytes.
  for (uint32_t i = 0; i < 16; ++i) Memory[to + i] = Memory[from + i];
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpCopyMemReg(int32_t d, int32_t x, int32_t s) {
  if (!AreRegs(d, x, s) || !InMemory(Address(Regs[s]), 16)) return false;
  Regs[d] = ReadMem128(Address(Regs[s]));
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpCopyRegMem(int32_t x, int32_t a, int32_t s) {
  if (!AreRegs(x, a, s) || !InMemory(Address(Regs[a]), 16)) return false;
  WriteMem128(Address(Regs[a]), Regs[s]);
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpGetSpecial(int32_t d, int32_t n) {
  if (!IsReg(d) || static_cast<uint32_t>(n) >= 10) return false;
  Regs[d] = Special(n);
  return AdvanceIP(isa::kWordBytes);
}

// Setting IP and then advancing it continues at the value + 4.
bool TTALVOCPU::OpSetSpecial(int32_t n, int32_t s) {
  if (!IsReg(s) || static_cast<uint32_t>(n) >= 10) return false;
  Special(n) = Regs[s];
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpAdd(int32_t x, int32_t y, int32_t d) {
  if (!AreRegs(x, y, d)) return false;
  const Value128 sum = Regs[x] + Regs[y];
  SetFlag(Special(PSW), isa::kCarryBit, sum < Regs[x]);
  Regs[d] = sum;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpSub(int32_t d, int32_t x, int32_t y) {
  if (!AreRegs(d, x, y)) return false;
  SetFlag(Special(PSW), isa::kBorrowBit, Regs[x] < Regs[y]);
  Regs[d] = Regs[x] - Regs[y];
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
  if (!AreRegs(d, x, y) || d == 255 || Regs[y] == 0) return false;
  const Value128 quotient = Regs[x] / Regs[y], remainder = Regs[x] % Regs[y];
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
  SetFlag(Special(PSW), isa::kCarryBit, Regs[s] == kAllOnes);
  Regs[d] = Regs[s] + 1;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpDec(int32_t d, int32_t s) {
  if (!AreRegs(d, s)) return false;
  SetFlag(Special(PSW), isa::kBorrowBit, Regs[s] == 0);
  Regs[d] = Regs[s] - 1;
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
  if (!AreRegs(d, s, c)) return false;
  const uint64_t n = Low64(Regs[c]);
  if (n > 128) return false;
  Regs[d] = n == 128 ? 0 : Regs[s] << n;
  return AdvanceIP(isa::kWordBytes);
}

bool TTALVOCPU::OpRR(int32_t d, int32_t s, int32_t c) {
  if (!AreRegs(d, s, c)) return false;
  const uint64_t n = Low64(Regs[c]);
  if (n > 128) return false;
  Regs[d] = n == 128 ? 0 : Regs[s] >> n;
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
