#pragma once
// Writing a file over its own bytes, where no new file can take its place. Nothing is
// lost on the way: the space the new bytes need is reserved before any old byte is
// overwritten (and given back when the write is undone), the bytes overwritten are
// kept to be put back should a write still fail, and no signal but SIGKILL ends the
// program before the file is whole again. A file the user typed has its old bytes
// copied to the disk elsewhere first (kept_copy.h), against SIGKILL and power loss.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "base/file_error.h"

// Makes sure the open file can grow to `size` bytes without changing what it holds, so
// that a full disk shows before its bytes are touched: 0 or an errno value.
// `reservedFrom` is the size beyond which space is reserved, -1 when none is; a
// failure reserves nothing. GiveBackSpace (file_write.h) undoes it.
int ReserveSpace(int fd, size_t size, off_t& reservedFrom);

// Replaces the whole content of the file (open for reading and writing) with `bytes`.
// On failure the file holds its old bytes again, unless putting them back failed too:
// the failure then says so, and, for a file the user typed, where the copy of its old
// bytes stays. `durable`: a file the user typed, at `path`, forced to the disk, whose
// old bytes are copied first; kNoKeptCopy when they cannot be, and the file is left
// alone.
TWriteFailure OverwriteInPlace(int fd, std::string_view bytes, bool durable, const std::string& path);
