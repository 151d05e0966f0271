#pragma once
// Why a file could not be read or written, as a text the user can act on.

#include <string>

// An errno value, or kNotARegularFile for a FIFO, device or socket where a plain file
// was expected (no errno names that: its reason shows the code ENOTREG).
constexpr int kNotARegularFile = -1;
// A file the user typed was to be written over its own bytes, and no copy of its old
// bytes could be kept first: it is left alone rather than risk its only copy.
constexpr int kNoKeptCopy = -2;
// Two of the names a save writes together lead to one file: writing both would leave
// that file holding only the last one's bytes.
constexpr int kOneFileTwice = -3;

// What a write that failed left on the disk.
struct TWriteFailure {
  int Error = 0;             // why: an errno value or one of the codes above
  bool Changed = false;      // the file may no longer hold its old bytes
  std::string KeptCopy;      // where they are kept whole then; empty where nowhere
};

// A failure that left the file as it was.
inline TWriteFailure UnchangedFailure(int error) { return {error, false, {}}; }

// The reason in GBK ("磁盘空间不足 (ENOSPC)"), for messages that name a file.
std::string FileErrorReason(int error);
