#pragma once
// Eight-digit hexadecimal words for the toolchain's text outputs, without a format
// string per word: listings print millions of them.

#include <cstdint>
#include <string>

inline void AppendHex8(std::string& out, uint32_t word, bool upperCase = false) {
  const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  char text[8];
  for (int i = 7; i >= 0; --i, word >>= 4) text[i] = digits[word & 0xF];
  out.append(text, 8);
}
