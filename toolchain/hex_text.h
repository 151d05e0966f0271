#pragma once
// Eight-digit hexadecimal words for the toolchain's text outputs, without a format
// string per word: listings print millions of them.

#include <cstdint>
#include <string>

// Writes the eight digits at `at` and gives the position after them.
inline char* PutHex8(char* at, uint32_t word, bool upperCase = false) {
  const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  for (int i = 7; i >= 0; --i, word >>= 4) at[i] = digits[word & 0xF];
  return at + 8;
}

inline void AppendHex8(std::string& out, uint32_t word, bool upperCase = false) {
  char text[8];
  out.append(text, PutHex8(text, word, upperCase) - text);
}
