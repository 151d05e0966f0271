#pragma once
// Byte helpers for tests that compare written files with their expected bytes.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "../common/scratch.h"
#include "toolchain/le_file.h"

// The words as they lie in a file: four bytes each, least significant first.
inline std::string Le(std::initializer_list<uint32_t> words) {
  std::string bytes;
  for (uint32_t word : words) {
    unsigned char b[4];
    PutWordLE(b, word);
    bytes.append(reinterpret_cast<char*>(b), 4);
  }
  return bytes;
}
