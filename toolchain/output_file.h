#pragma once
// Writing one output file of the toolchain in large pieces: the fill function
// appends to the file, which replaces the old one only when every byte reached it
// and it closed cleanly.

#include <cstdint>
#include <string>

#include "base/file_error.h"
#include "base/replacing_file.h"
#include "toolchain/file_messages.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/le_file.h"

// The message line for an output that could not be written: why, and, where the
// failure may have changed the file, that too (an output keeps no copy of its old
// bytes: it can be built again).
inline std::string WriteFailure(const std::string& path, const TWriteFailure& failure) {
  std::string reason = FileErrorReason(failure.Error);
  if (failure.Changed) reason += gbk::kMsgDiskMayBeChanged;
  return FileFailureMessage(gbk::kMsgCannotWrite, path, reason);
}

// Error 0, or why the file could not be written and what the failure left on the
// disk: the previous file as it was, unless the failure says otherwise.
template <class Fill>
TWriteFailure WriteReplacingFile(const std::string& path, Fill&& fill) {
  TReplacingFile out(path);
  fill(out);
  out.Commit();
  return out.Failure();
}

// 0, or -1 when the file cannot be written, with the message naming the file and
// the reason appended to `messages`.
template <class Fill>
int32_t WriteOutputFile(const std::string& path, std::string& messages, Fill&& fill) {
  const TWriteFailure failure = WriteReplacingFile(path, fill);
  if (failure.Error == 0) return 0;
  messages += WriteFailure(path, failure);
  return -1;
}

inline void AppendWordLE(TReplacingFile& out, uint32_t word) {
  unsigned char bytes[4];
  PutWordLE(bytes, word);
  out.Buffer.append(reinterpret_cast<const char*>(bytes), 4);
  out.Spill();
}
