#pragma once
// Writing one output file of the assembler in large pieces: the fill function
// appends to the file, which replaces the old one only when every byte reached it
// and it closed cleanly.

#include <cstdint>
#include <string>

#include "base/replacing_file.h"
#include "toolchain/le_file.h"

// 0, or -1 when the file cannot be written, with the reason in `error` (see
// FileErrorReason); a failure leaves the previous file as it was.
template <class Fill>
int32_t WriteOutputFile(const std::string& path, Fill&& fill, int* error = nullptr) {
  TReplacingFile out(path);
  fill(out);
  const bool written = out.Commit();
  if (error != nullptr) *error = out.Error();
  return written ? 0 : -1;
}

inline void AppendWordLE(TReplacingFile& out, uint32_t word) {
  unsigned char bytes[4];
  PutWordLE(bytes, word);
  out.Buffer.append(reinterpret_cast<const char*>(bytes), 4);
  out.Spill();
}
