#pragma once
// The first bytes of every object file.

#include <cstddef>
#include <cstdio>
#include <cstring>

inline constexpr char kQobjMagic[] = "QOBJ1\r\n";
constexpr size_t kQobjMagicSize = 7;

// Reads the magic line at the file's position; false for a file too short or not
// an object file.
inline bool ReadQobjMagic(std::FILE* file) {
  char magic[kQobjMagicSize];
  return std::fread(magic, 1, kQobjMagicSize, file) == kQobjMagicSize &&
         std::memcmp(magic, kQobjMagic, kQobjMagicSize) == 0;
}
