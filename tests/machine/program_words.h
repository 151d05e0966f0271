#pragma once
// Builds small machine programs word by word for tests and benchmarks that run the
// core without the assembler. Words are laid out as the assembler encodes them.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "machine/value128.h"

namespace program_words {

enum Opcode : uint32_t {
  Nop = 0x00, Copy = 0x01, MR = 0x03, RM = 0x04, Get = 0x05, Set = 0x06, Add = 0x08, Cmp = 0x10,
  Jmp = 0x11, Jnq = 0x13, Iret = 0x33, In = 0x50, Out = 0x51, Push = 0x60, Pop = 0x61, Ld = 0x80,
};
enum Special : uint32_t { IS = 4, IP = 5, PSW = 6, ICW = 7, SS = 8, SP = 9 };

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
