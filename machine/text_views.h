#pragma once
// The texts the memory and register windows show, built from the machine's state
// without a core object: lines end "\r\n", numbers in decimal, hex digits upper case.
// The core's view operations (cpu_views.cpp) pass their memory and registers here.
// Nothing outside the given memory is read.

#include <cstdint>
#include <string>

#include "isa/special_registers.h"
#include "machine/value128.h"

// The memory block a view reads: Size bytes at Bytes (null when none is allocated).
struct TMemoryBlock {
  const uint8_t* Bytes = nullptr;
  uint64_t Size = 0;

  // True when the 8 bytes at address lie wholly inside the block.
  bool HoldsWord(int64_t address) const;
};

// The 8 bytes at address as a little-endian number; false (out untouched) when they
// leave the block.
bool ReadMemoryWord(const TMemoryBlock& memory, int64_t address, uint64_t& out);

// 16 hex digits of the word at address (the byte at address + 7 first); "0" outside.
std::string MemToHexText(const TMemoryBlock& memory, int64_t address);
// address, "\t", MemToHexText.
std::string MemLineText(const TMemoryBlock& memory, int64_t address);
// One line for each of the `lines` words from start on, stopping at the first word
// that leaves memory: a view that starts near the end shows only what exists.
std::string MemDumpText(const TMemoryBlock& memory, int64_t start, int64_t lines);
// The word at address as a signed decimal number; "0" outside memory.
std::string MemToDecText(const TMemoryBlock& memory, int64_t address);

std::string Hex128Text(Value128 value);  // 32 hex digits, bit 127 first

// "BS", "BO", "DS", "DO", "IS", "IP", "PSW", "ICW", "SS", "SP" by special register
// number; "0" for any other number.
const char* SpecialRegName(int32_t number);

// i, "\t", 32 hex digits, for the 256 general registers.
std::string RegistersDumpText(const Value128 (&regs)[256]);
// i, "\t", name, "\t", 32 hex digits, for the special registers by number.
std::string SpecialRegistersDumpText(const Value128 (&byNumber)[isa::kSpecialRegisterCount]);
