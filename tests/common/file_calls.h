#pragma once
// What the file-calls shim (file_calls_shim.cpp) saw, for a test program it is linked
// into.

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

extern "C" {
// Whether fsync or fdatasync reached the file or folder since TalvoShimForgetSyncs,
// and no pwrite wrote to it after.
bool TalvoShimWasSynced(uint64_t device, uint64_t inode);
void TalvoShimForgetSyncs();
// The calls TALVO_SHIM_FAIL chooses are counted from here.
void TalvoShimForgetCalls();
}

// While it lives, the calls `choice` ("KIND:N[:COUNT]", file_calls_shim.cpp) names,
// counted from its start, fail in this process.
class TFailingCalls {
 public:
  explicit TFailingCalls(const char* choice) {
    ::setenv(kName, choice, 1);
    TalvoShimForgetCalls();
  }
  ~TFailingCalls() { ::unsetenv(kName); }
  TFailingCalls(const TFailingCalls&) = delete;
  TFailingCalls& operator=(const TFailingCalls&) = delete;

 private:
  static constexpr const char* kName = "TALVO_SHIM_FAIL";
};

// Whether fsync reached what `path` names now, after its last bytes were written.
inline bool WasSynced(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && TalvoShimWasSynced(info.st_dev, info.st_ino);
}
