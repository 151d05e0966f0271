#pragma once
// The machine's native 128-bit register value. RegBits (one byte a bit) exists only
// at the interfaces that show or edit values; execution works on this.

#include <bit>
#include <cstdint>
#include <cstring>

using Value128 = unsigned __int128;

constexpr uint64_t High64(Value128 v) { return static_cast<uint64_t>(v >> 64); }
constexpr uint64_t Low64(Value128 v) { return static_cast<uint64_t>(v); }
constexpr Value128 MakeValue128(uint64_t high, uint64_t low) {
  return (static_cast<Value128>(high) << 64) | low;
}

// Little-endian numbers in the machine's memory, read and written as single copies.
inline uint32_t LoadLE32(const uint8_t* at) {
  if constexpr (std::endian::native == std::endian::little) {
    uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
  } else {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
  }
}

inline Value128 LoadLE128(const uint8_t* at) {
  Value128 value = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&value, at, sizeof value);
  } else {
    for (int i = 15; i >= 0; --i) value = value << 8 | at[i];
  }
  return value;
}

inline void StoreLE128(uint8_t* at, Value128 value) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(at, &value, sizeof value);
  } else {
    for (int i = 0; i < 16; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
  }
}
