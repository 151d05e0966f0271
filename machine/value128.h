#pragma once
// The machine's native 128-bit register value. RegBits (one byte a bit) exists only
// at the interfaces that show or edit values; execution works on this.

#include <cstdint>

using Value128 = unsigned __int128;

constexpr uint64_t High64(Value128 v) { return static_cast<uint64_t>(v >> 64); }
constexpr uint64_t Low64(Value128 v) { return static_cast<uint64_t>(v); }
constexpr Value128 MakeValue128(uint64_t high, uint64_t low) {
  return (static_cast<Value128>(high) << 64) | low;
}
