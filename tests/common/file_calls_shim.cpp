// Preloaded into a program under test (LD_PRELOAD) to give it what this machine's file
// systems do not:
//   TALVO_SHIM_NO_TMPFILE=1  open(O_TMPFILE) fails with EOPNOTSUPP, as on a file system
//                            without unnamed files;
//   TALVO_SHIM_STOP=KIND:N   the program stops itself (SIGSTOP) right after the N-th
//                            successful call of one kind: "tmpfile" (an unnamed file
//                            opened), "create" (a file created with O_EXCL) or "link"
//                            (linkat), so that a test acts at exactly that moment.
//                            Another thread may be linking a complete file under a
//                            hidden name of its own at that moment, a window a SIGKILL
//                            leaves that name in; the stop waits until no thread is in
//                            it, so the moment is the same in every run.
//   TALVO_SHIM_FAIL=link:N   the N-th linkat fails with EIO instead of linking, as a disk
//                            that fails at that moment would.
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
#include <mutex>

namespace {

std::atomic<int> calls[3];
std::atomic<int> linkAttempts;

bool LinkFails() {
  const char* fail = std::getenv("TALVO_SHIM_FAIL");
  if (fail == nullptr || std::strncmp(fail, "link:", 5) != 0) return false;
  return linkAttempts.fetch_add(1) + 1 == std::atoi(fail + 5);
}
constexpr const char* kKinds[3] = {"tmpfile", "create", "link"};

// Held from linking a file under a hidden name until that name is gone (removed, or
// renamed into place).
std::mutex linkWindow;
thread_local bool inLinkWindow = false;

bool IsHiddenName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return std::strncmp(slash != nullptr ? slash + 1 : path, ".talvo-", 7) == 0;
}

void LeaveLinkWindow(const char* path) {
  if (!inLinkWindow || !IsHiddenName(path)) return;
  inLinkWindow = false;
  linkWindow.unlock();
}

void Counted(int kind) {
  const char* stop = std::getenv("TALVO_SHIM_STOP");
  const size_t length = std::strlen(kKinds[kind]);
  if (stop == nullptr || std::strncmp(stop, kKinds[kind], length) != 0 || stop[length] != ':') return;
  if (calls[kind].fetch_add(1) + 1 != std::atoi(stop + length + 1)) return;
  // This thread may be in the window itself (a stop right after a link).
  std::unique_lock<std::mutex> others(linkWindow, std::defer_lock);
  if (!inLinkWindow) others.lock();
  ::raise(SIGSTOP);
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

// The same call under its large-file name.
int openat64(int folder, const char* path, int flags, ...) __attribute__((alias("openat")));

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
  if (LinkFails()) {
    errno = EIO;
    return -1;
  }
  const bool hidden = IsHiddenName(to);
  if (hidden) linkWindow.lock();
  const int result = static_cast<int>(::syscall(SYS_linkat, fromFolder, from, toFolder, to, flags));
  if (hidden && result == 0) inLinkWindow = true;
  if (hidden && result != 0) linkWindow.unlock();
  if (result == 0) Counted(2);
  return result;
}

int unlinkat(int folder, const char* path, int flags) {
  const int result = static_cast<int>(::syscall(SYS_unlinkat, folder, path, flags));
  LeaveLinkWindow(path);
  return result;
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  const int result = static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, 0));
  if (result == 0) LeaveLinkWindow(from);
  return result;
}

}  // extern "C"
