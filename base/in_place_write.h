#pragma once
// Writing a file over its own bytes, for where no temporary file can be made beside
// it (a folder the user may not write). Nothing is lost on the way: the space the new
// bytes need is reserved before any old byte is overwritten, and the bytes overwritten
// are kept to be put back should a write still fail.

#include <sys/types.h>

#include <cstddef>
#include <string_view>

// Each gives 0 or an errno value.

// Writes every byte at `offset` on, going on after short writes and interruptions.
int WriteAllAt(int fd, std::string_view bytes, off_t offset);

// Makes sure the open file can grow to `size` bytes without changing what it holds, so
// that a full disk shows before its bytes are touched.
int ReserveSpace(int fd, size_t size);

// Replaces the whole content of the file (open for reading and writing) with `bytes`;
// on failure the file holds its old bytes again. `durable` forces them to the disk.
int OverwriteInPlace(int fd, std::string_view bytes, bool durable);
