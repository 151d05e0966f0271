#pragma once
// Little-endian 32-bit fields, as every file of the toolchain lays them out. Reads
// report a short read, so callers never act on bytes a file does not hold.

#include <cstdint>
#include <cstdio>
#include <sys/types.h>

inline void PutWordLE(unsigned char* bytes, uint32_t word) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(word >> (8 * i));
}

inline uint32_t GetWordLE(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

inline bool ReadInt32LE(std::FILE* file, int32_t& value) {
  unsigned char bytes[4];
  if (std::fread(bytes, 1, 4, file) != 4) return false;
  value = static_cast<int32_t>(GetWordLE(bytes));
  return true;
}

// The bytes from the current position to the end; -1 when the stream cannot tell.
inline int64_t BytesLeft(std::FILE* file) {
  const off_t here = ftello(file);
  if (here < 0 || fseeko(file, 0, SEEK_END) != 0) return -1;
  const off_t end = ftello(file);
  if (fseeko(file, here, SEEK_SET) != 0 || end < here) return -1;
  return static_cast<int64_t>(end - here);
}
