#pragma once
// Why a file could not be read or written, as a text the user can act on.

#include <string>

// An errno value, or kNotARegularFile for a FIFO, device or socket where a plain file
// was expected (no errno names that: its reason shows the code ENOTREG).
constexpr int kNotARegularFile = -1;
// A file the user typed was to be written over its own bytes, and no copy of its old
// bytes could be kept first: it is left alone rather than risk its only copy.
constexpr int kNoKeptCopy = -2;

// The reason in GBK ("磁盘空间不足 (ENOSPC)"), for messages that name a file.
std::string FileErrorReason(int error);
