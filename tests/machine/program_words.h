#pragma once
// Builds small machine programs word by word for tests and benchmarks that run the
// core without the assembler. Words are laid out as the assembler encodes them.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "isa/instruction_set.h"
#include "isa/special_registers.h"
#include "machine/value128.h"

namespace program_words {

// Opcodes and special register numbers by name: Word(Add, 1, 2, 3), Word(Set, 0, SP, 1).
using namespace isa;

constexpr uint32_t Word(uint32_t op, uint32_t a, uint32_t b, uint32_t c) {
  return op << 24 | a << 16 | b << 8 | c;
}

// A backward relative jump by `distance` bytes, as the conditional jumps add it.
constexpr Value128 Back(uint32_t distance) { return ~Value128(0) - distance + 1; }

class Image {
 public:
  Image& Emit(uint32_t word) {
    words_.push_back(word);
    return *this;
  }
  Image& Load(uint32_t reg, Value128 value) {
    Emit(Word(Ld, reg, 0, 0));
    for (int i = 0; i < 4; ++i) Emit(static_cast<uint32_t>(value >> (32 * i)));
    return *this;
  }
  // Zero words (NOPs) up to the byte address.
  Image& PadTo(uint32_t address) {
    while (Here() < address) Emit(0);
    return *this;
  }
  uint32_t Here() const { return static_cast<uint32_t>(words_.size() * 4); }

  // Little-endian, as the linker writes an image.
  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> bytes;
    for (uint32_t w : words_)
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(w >> (8 * i)));
    return bytes;
  }
  bool WriteTo(const std::string& path) const {
    const std::vector<uint8_t> bytes = Bytes();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
  }

 private:
  std::vector<uint32_t> words_;
};

}  // namespace program_words
