#pragma once
// What the file-calls shim (file_calls_shim.cpp) saw, for a test program it is linked
// into.

#include <sys/stat.h>

#include <cstdint>
#include <string>

extern "C" {
// Whether fsync or fdatasync reached the file or folder since TalvoShimForgetSyncs,
// and no pwrite wrote to it after.
bool TalvoShimWasSynced(uint64_t device, uint64_t inode);
void TalvoShimForgetSyncs();
}

// Whether fsync reached what `path` names now, after its last bytes were written.
inline bool WasSynced(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && TalvoShimWasSynced(info.st_dev, info.st_ino);
}
