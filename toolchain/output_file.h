#pragma once
// Writing one output file of the assembler in large pieces: the fill function
// appends to the writer, and the file counts as written only when every byte
// reached it and it closed cleanly.

#include <cstdint>
#include <cstdio>
#include <string>

#include "toolchain/chunk_writer.h"
#include "toolchain/le_file.h"

// 0, or -1 when the file cannot be created or a write fails. Creating empties an
// existing file of that name.
template <class Fill>
int32_t WriteOutputFile(const std::string& path, Fill&& fill) {
  TFilePtr file = OpenFile(path, "wb");
  if (!file) return -1;
  TChunkWriter out(file.get());
  fill(out);
  bool ok = out.Flush();
  ok = CloseWritten(file) && ok;
  return ok ? 0 : -1;
}

inline void AppendWordLE(TChunkWriter& out, uint32_t word) {
  unsigned char bytes[4];
  PutWordLE(bytes, word);
  out.Buffer.append(reinterpret_cast<const char*>(bytes), 4);
  out.Spill();
}

// Writes the bytes to a temporary file beside the path and renames it over the path,
// so a failed write leaves the old file whole.
inline bool WriteFileReplacing(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".tmp~";
  const bool written = WriteOutputFile(temporary, [&](TChunkWriter& out) { out.Write(bytes); }) == 0;
  if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
