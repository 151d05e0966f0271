#pragma once
// The instruction table's entry for a mnemonic and operand count, remembered: a
// source names a few mnemonics over and over, and a table lookup hashes the whole
// name. The cache only ever holds what the table answered.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "toolchain/instruction_set.h"

class TMnemonicCache {
 public:
  const STAlvo128* Find(std::string_view mnemonic, int32_t count) {
    TSlot& slot = Slots[SlotOf(mnemonic, count)];
    if (slot.Entry != nullptr && slot.Entry->OperandCount == count && slot.Entry->Name == mnemonic) {
      return slot.Entry;
    }
    const STAlvo128* entry = FindInstruction(mnemonic, count);
    if (entry != nullptr) slot.Entry = entry;
    return entry;
  }

 private:
  struct TSlot {
    const STAlvo128* Entry = nullptr;
  };
  static size_t SlotOf(std::string_view mnemonic, int32_t count) {
    size_t hash = static_cast<size_t>(count);
    for (const char c : mnemonic) hash = hash * 131 + static_cast<unsigned char>(c);
    return hash % kSlots;
  }
  static constexpr size_t kSlots = 251;
  TSlot Slots[kSlots];
};
