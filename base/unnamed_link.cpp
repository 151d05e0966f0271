#include "base/unnamed_link.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "base/hidden_name.h"
#include "base/interrupt_cleanup.h"

namespace {

enum TRoute : int { kUnknown, kProc, kDescriptor, kNone };
std::atomic<int> route{kUnknown};

int LinkByDescriptor(int fd, int folder, const char* name) {
  return ::linkat(fd, "", folder, name, AT_EMPTY_PATH) == 0 ? 0 : errno;
}

int LinkThroughProc(int fd, int folder, const char* name) {
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  return ::linkat(AT_FDCWD, self, folder, name, AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// Linked once, an unnamed file that lost the name can take none again: the question
// is asked of a file of its own.
int Learn(int folder) {
  if (::access("/proc/self/fd", X_OK) == 0) return kProc;
  const int probe = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (probe < 0) return kUnknown;
  std::string name;
  int slot = -1;
  const int error = CreateUnderFreshName(
      folder, [&](const char* fresh) { return LinkByDescriptor(probe, folder, fresh); }, name, slot);
  ::close(probe);
  // ENOENT is the kernel's refusal; anything else says nothing about it.
  if (error != 0) return error == ENOENT ? kNone : kUnknown;
  ::unlinkat(folder, name.c_str(), 0);
  ForgetOnInterrupt(slot);
  return kDescriptor;
}

}  // namespace

bool MayNameUnnamedFiles() { return route.load() != kNone; }

bool CanNameUnnamedFiles(int folder) {
  int known = route.load();
  if (known == kUnknown) {
    known = Learn(folder);
    route.store(known);
  }
  return known == kProc || known == kDescriptor;
}

int NameUnnamedFile(int fd, int folder, const char* name) {
  return route.load() == kDescriptor ? LinkByDescriptor(fd, folder, name) : LinkThroughProc(fd, folder, name);
}
