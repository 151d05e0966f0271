#pragma once
// The work of one instruction on plain values, shared by the core's operations (which
// keep the machine state in the core record) and its run loop (which keeps IP, PSW and
// SP in locals): both give the same results because they run the same code.

#include <cstdint>
#include <cstring>

#include "isa/instruction_set.h"
#include "isa/special_registers.h"
#include "machine/value128.h"

namespace core_kernels {

constexpr Value128 kSignBit = Value128{1} << 127;
constexpr Value128 kAllOnes = ~Value128{0};
constexpr int kStackEntryBytes = 16;

constexpr bool Flag(Value128 psw, int bit) { return (psw >> bit & 1) != 0; }

constexpr Value128 WithFlag(Value128 psw, int bit, bool on) {
  const Value128 mask = Value128{1} << bit;
  return on ? psw | mask : psw & ~mask;
}

// ADD and INC: the sum modulo 2^128, the carry written to PSW.
inline Value128 Add(Value128 x, Value128 y, Value128& psw) {
  Value128 sum;
  psw = WithFlag(psw, isa::kCarryBit, __builtin_add_overflow(x, y, &sum));
  return sum;
}

// SUB and DEC: the difference modulo 2^128, the borrow written to PSW.
inline Value128 Subtract(Value128 x, Value128 y, Value128& psw) {
  Value128 difference;
  psw = WithFlag(psw, isa::kBorrowBit, __builtin_sub_overflow(x, y, &difference));
  return difference;
}

// MUL: the full 256-bit product as (high, low).
inline void Multiply(Value128 x, Value128 y, Value128& high, Value128& low) {
  const Value128 xl = Low64(x), xh = High64(x), yl = Low64(y), yh = High64(y);
  const Value128 ll = xl * yl, lh = xl * yh, hl = xh * yl, hh = xh * yh;
  const Value128 middle = (ll >> 64) + Low64(lh) + Low64(hl);
  low = middle << 64 | Low64(ll);
  high = hh + (lh >> 64) + (hl >> 64) + (middle >> 64);
}

// DIV: false for a division by zero, which has no result.
inline bool Divide(Value128 x, Value128 y, Value128& quotient, Value128& remainder) {
  if (y == 0) return false;
  quotient = x / y;
  remainder = x % y;
  return true;
}

// CMP: exactly one of less, equal and greater, the other PSW bits kept.
inline void Compare(Value128 x, Value128 y, Value128& psw) {
  constexpr Value128 kFlags =
      Value128{1} << isa::kLessBit | Value128{1} << isa::kEqualBit | Value128{1} << isa::kGreaterBit;
  const int bit = x < y ? isa::kLessBit : x == y ? isa::kEqualBit : isa::kGreaterBit;
  psw = (psw & ~kFlags) | Value128{1} << bit;
}

// JQ, JNQ, JL, JG.
inline bool JumpTaken(uint8_t opcode, Value128 psw) {
  switch (opcode) {
    case isa::JQ: return Flag(psw, isa::kEqualBit);
    case isa::JNQ: return !Flag(psw, isa::kEqualBit);
    case isa::JL: return Flag(psw, isa::kLessBit);
    default: return Flag(psw, isa::kGreaterBit);
  }
}

// LL and RR by n bits; false for n above 128.
inline bool Shift(Value128 value, uint64_t n, bool left, Value128& out) {
  if (n > 128) return false;
  out = n == 128 ? 0 : left ? value << n : value >> n;
  return true;
}

// CALL and FUNC: base +/- the magnitude of a sign-magnitude offset, modulo 2^128.
inline Value128 AddSignMagnitude(Value128 base, Value128 offset) {
  const Value128 magnitude = offset & ~kSignBit;
  return (offset & kSignBit) != 0 ? base - magnitude : base + magnitude;
}

// The memory block of the last reset; nothing outside it is read or written. Size is
// 0 while there is no block.
struct TMemory {
  uint8_t* Bytes = nullptr;
  uint64_t Size = 0;

  bool Holds(uint64_t address, uint64_t len) const { return address <= Size && len <= Size - address; }
  // One 16-byte value at a 32-bit address (a register's low 32 bits, a stack entry).
  bool HoldsValue(uint32_t address) const { return uint64_t{address} + 16 <= Size; }
  Value128 Read128(uint32_t address) const { return LoadLE128(Bytes + address); }
  void Write128(uint32_t address, Value128 value) const { StoreLE128(Bytes + address, value); }
  // MM and DMA: count bytes upwards one by one, so a destination just above the
  // source repeats the source's first bytes; any other pair is one copy.
  void Move(uint32_t to, uint32_t from, uint64_t count) const {
    if (to > from && to - from < count) {
      for (uint64_t i = 0; i < count; ++i) Bytes[to + i] = Bytes[from + i];
    } else {
      std::memmove(Bytes + to, Bytes + from, count);
    }
  }
};

// The stack: 16-byte entries at the low 32 bits of SP, growing upwards. Pushes the
// values in order, or none when any entry would leave memory.
inline bool PushEntries(const TMemory& memory, Value128& sp, const Value128* values, int count) {
  uint64_t top = Low64(sp);
  for (int i = 0; i < count; ++i, top += kStackEntryBytes)
    if (!memory.HoldsValue(static_cast<uint32_t>(top))) return false;
  for (int i = 0; i < count; ++i) {
    memory.Write128(static_cast<uint32_t>(sp), values[i]);
    sp += kStackEntryBytes;
  }
  return true;
}

// Pops count entries in order, or none when one would take the low 64 bits of SP
// below 0 or leave memory. SP's upper 64 bits become 0; the caller clears SS.
inline bool PopEntries(const TMemory& memory, Value128& sp, Value128* values, int count) {
  uint64_t top = Low64(sp);
  for (int i = 0; i < count; ++i) {
    top -= kStackEntryBytes;
    if (static_cast<int64_t>(top) < 0 || !memory.HoldsValue(static_cast<uint32_t>(top)))
      return false;
  }
  top = Low64(sp);
  for (int i = 0; i < count; ++i) {
    top -= kStackEntryBytes;
    values[i] = memory.Read128(static_cast<uint32_t>(top));
  }
  sp = top;
  return true;
}

}  // namespace core_kernels
