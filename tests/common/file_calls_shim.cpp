// Preloaded into a program under test (LD_PRELOAD) to give it what this machine's file
// systems do not:
//   TALVO_SHIM_NO_TMPFILE=1  open(O_TMPFILE) fails with EOPNOTSUPP, as on a file system
//                            without unnamed files;
//   TALVO_SHIM_STOP=KIND:N   the program stops itself (SIGSTOP) right after the N-th
//                            successful call of one kind: "tmpfile" (an unnamed file
//                            opened), "create" (a file created with O_EXCL) or "link"
//                            (linkat), so that a test acts at exactly that moment.
// The calls go to the kernel directly, past any sanitizer's interceptors.

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<int> calls[3];
constexpr const char* kKinds[3] = {"tmpfile", "create", "link"};

void Counted(int kind) {
  const char* stop = std::getenv("TALVO_SHIM_STOP");
  const size_t length = std::strlen(kKinds[kind]);
  if (stop == nullptr || std::strncmp(stop, kKinds[kind], length) != 0 || stop[length] != ':') return;
  if (calls[kind].fetch_add(1) + 1 == std::atoi(stop + length + 1)) ::raise(SIGSTOP);
}

int OpenAt(int folder, const char* path, int flags, mode_t mode) {
  const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
  if (unnamed && std::getenv("TALVO_SHIM_NO_TMPFILE") != nullptr) {
    errno = EOPNOTSUPP;
    return -1;
  }
  const int fd = static_cast<int>(::syscall(SYS_openat, folder, path, flags, mode));
  if (fd >= 0 && unnamed) Counted(0);
  if (fd >= 0 && (flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL)) Counted(1);
  return fd;
}

mode_t ModeArgument(va_list arguments) { return static_cast<mode_t>(va_arg(arguments, unsigned)); }

}  // namespace

extern "C" {

int openat(int folder, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(arguments);
  va_end(arguments);
  return OpenAt(folder, path, flags, mode);
}

int openat64(int folder, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(arguments);
  va_end(arguments);
  return OpenAt(folder, path, flags, mode);
}

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
  const int result = static_cast<int>(::syscall(SYS_linkat, fromFolder, from, toFolder, to, flags));
  if (result == 0) Counted(2);
  return result;
}

}  // extern "C"
