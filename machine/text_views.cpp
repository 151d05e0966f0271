#include "machine/text_views.h"

#include <cinttypes>
#include <cstdio>

#include "isa/special_registers.h"

bool TMemoryBlock::HoldsWord(int64_t address) const {
  return Bytes != nullptr && address >= 0 && Size >= 8 && static_cast<uint64_t>(address) <= Size - 8;
}

bool ReadMemoryWord(const TMemoryBlock& memory, int64_t address, uint64_t& out) {
  if (!memory.HoldsWord(address)) return false;
  uint64_t word = 0;
  for (int i = 7; i >= 0; --i) word = (word << 8) | memory.Bytes[address + i];
  out = word;
  return true;
}

std::string MemToHexText(const TMemoryBlock& memory, int64_t address) {
  uint64_t word = 0;
  if (!ReadMemoryWord(memory, address, word)) return "0";
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIX64, word);
  return text;
}

std::string MemLineText(const TMemoryBlock& memory, int64_t address) {
  return std::to_string(address) + "\t" + MemToHexText(memory, address);
}

std::string MemDumpText(const TMemoryBlock& memory, int64_t start, int64_t lines) {
  std::string text;
  for (int64_t k = 0; k < lines && memory.HoldsWord(start + 8 * k); ++k) {
    text += MemLineText(memory, start + 8 * k);
    text += "\r\n";
  }
  return text;
}

std::string MemToDecText(const TMemoryBlock& memory, int64_t address) {
  uint64_t word = 0;
  if (!ReadMemoryWord(memory, address, word)) return "0";
  return std::to_string(static_cast<int64_t>(word));
}

std::string Hex128Text(Value128 value) {
  char text[33];
  std::snprintf(text, sizeof text, "%016" PRIX64 "%016" PRIX64, High64(value), Low64(value));
  return text;
}

const char* SpecialRegName(int32_t number) {
  return number >= 0 && number < isa::kSpecialRegisterCount ? isa::kSpecialRegisterNames[number].English : "0";
}

std::string RegistersDumpText(const Value128 (&regs)[256]) {
  std::string text;
  text.reserve(256 * 38);
  for (int i = 0; i < 256; ++i) text += std::to_string(i) + "\t" + Hex128Text(regs[i]) + "\r\n";
  return text;
}

std::string SpecialRegistersDumpText(const Value128 (&byNumber)[isa::kSpecialRegisterCount]) {
  std::string text;
  for (int i = 0; i < isa::kSpecialRegisterCount; ++i) {
    text += std::to_string(i) + "\t" + SpecialRegName(i) + "\t" + Hex128Text(byNumber[i]) + "\r\n";
  }
  return text;
}
