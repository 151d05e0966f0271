#pragma once
// The plain steps every writer of base/ takes on an open file or folder. Each gives 0
// or an errno value.

#include <sys/types.h>

#include <string>
#include <string_view>

// Writes every byte at `offset` on, going on after short writes and interruptions.
int WriteAllAt(int fd, std::string_view bytes, off_t offset);

// The whole file from its start, as it stands now.
int ReadAll(int fd, std::string& bytes);

// Forces the folder open as `folder` (O_PATH will do) to the disk with the names it
// holds. A folder this user may not read cannot be forced by him, and some file
// systems keep no folders to force: both give 0.
int SyncFolder(int folder);

// Cut back to `size` where the file still has that size, a file lets go of the blocks
// reserved beyond its end. Async-signal-safe.
void GiveBackSpace(int fd, off_t size);
