#pragma once
// Writing one output file of the toolchain in large pieces: the fill function
// appends to the file, which replaces the old one only when every byte reached it
// and it closed cleanly.

#include <cstdint>
#include <string>

#include "base/replacing_file.h"
#include "toolchain/file_messages.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/le_file.h"

// The message line for an output that could not be written, and why (an errno value
// or kNotARegularFile).
inline std::string WriteFailure(const std::string& path, int error) {
  return FileFailureMessage(gbk::kMsgCannotWrite, path, error);
}

// 0, or the reason the file could not be written (an errno value or
// kNotARegularFile); a failure leaves the previous file as it was.
template <class Fill>
int WriteReplacingFile(const std::string& path, Fill&& fill) {
  TReplacingFile out(path);
  fill(out);
  out.Commit();
  return out.Error();
}

// 0, or -1 when the file cannot be written, with the message naming the file and
// the reason appended to `messages`.
template <class Fill>
int32_t WriteOutputFile(const std::string& path, std::string& messages, Fill&& fill) {
  const int error = WriteReplacingFile(path, fill);
  if (error == 0) return 0;
  messages += WriteFailure(path, error);
  return -1;
}

inline void AppendWordLE(TReplacingFile& out, uint32_t word) {
  unsigned char bytes[4];
  PutWordLE(bytes, word);
  out.Buffer.append(reinterpret_cast<const char*>(bytes), 4);
  out.Spill();
}
