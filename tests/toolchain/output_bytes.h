#pragma once
// Byte helpers for tests that compare written files with their expected bytes.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

#include "toolchain/le_file.h"

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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
