// Preloaded into a program under test (LD_PRELOAD), or linked into a test program, to
// give it what this machine's file systems do not and to show what it did:
//   TALVO_SHIM_NO_TMPFILE=1  open(O_TMPFILE) fails with EOPNOTSUPP, as on a file system
//                            without unnamed files;
//   TALVO_SHIM_NO_PROC=1     there is no /proc: looking at it, opening in it and
//                            linking from it fail with ENOENT;
//   TALVO_SHIM_STOP=KIND:N   the program stops itself (SIGSTOP) right after the N-th
//                            successful call of a KIND: "tmpfile" (an unnamed file
//                            opened), "create" (with O_EXCL), "link", "rename",
//                            "pwrite" or "dirsync" (fsync of a folder). A
//                            thread linking a complete file under a hidden name, which
//                            a SIGKILL would leave behind, finishes first, so the moment
//                            is the same in every run;
//   TALVO_SHIM_SIGNAL=KIND:N:SIGNAL
//                            before the N-th "create" or "link" of a hidden name on a
//                            thread other than the main one, SIGNAL goes to the main
//                            thread, and the call waits for its handler to begin and
//                            then to return; a hidden name removed meanwhile is removed
//                            only once the call was made, so a handler that ends the
//                            program without waiting for the call leaves its file;
//   TALVO_SHIM_FAIL=KIND:N[:COUNT]
//                            the N-th call of a KIND ("link", "pwrite", "dirsync")
//                            and the COUNT - 1 after it (none by default)
//                            fail with EIO, as a failing disk would; counted anew from
//                            TalvoShimForgetCalls (file_calls.h).
// And every fsync is noted, and every pwrite after it (file_calls.h). The calls go to
// the kernel directly, past any sanitizer's interceptors.

#include "file_calls.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

enum TKind { kTmpfile, kCreate, kLink, kRename, kPwrite, kDirsync, kKinds };
constexpr const char* kKindNames[kKinds] = {"tmpfile", "create", "link", "rename", "pwrite", "dirsync"};
std::atomic<int> stopCalls[kKinds];
std::atomic<int> signalCalls[kKinds];
std::atomic<int> failCalls[kKinds];

int Refused(int error) {
  errno = error;
  return -1;
}

// Held from linking a file under a hidden name until that name is gone (removed, or
// renamed into place).
std::mutex linkWindow;
thread_local bool inLinkWindow = false;

bool IsHiddenName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return std::strncmp(slash != nullptr ? slash + 1 : path, ".talvo-", 7) == 0;
}

bool IsInProc(const char* path) {
  return std::getenv("TALVO_SHIM_NO_PROC") != nullptr && std::strncmp(path, "/proc", 5) == 0;
}

void LeaveLinkWindow(const char* path) {
  if (!inLinkWindow || !IsHiddenName(path)) return;
  inLinkWindow = false;
  linkWindow.unlock();
}

// Whether this call of its kind is one the variable ("KIND:N...") chooses: the N-th, or,
// with `more`, the N-th and the COUNT - 1 after it ("KIND:N:COUNT"); `rest` points after N.
bool IsChosen(const char* variable, TKind kind, std::atomic<int>* calls, const char** rest = nullptr,
              bool more = false) {
  const char* value = std::getenv(variable);
  const size_t length = std::strlen(kKindNames[kind]);
  if (value == nullptr || std::strncmp(value, kKindNames[kind], length) != 0 || value[length] != ':') return false;
  char* end = nullptr;
  const long at = std::strtol(value + length + 1, &end, 10);
  if (rest != nullptr) *rest = end;
  const long call = calls[kind].fetch_add(1) + 1;
  return call >= at && call < at + (more && *end == ':' ? std::strtol(end + 1, nullptr, 10) : 1);
}

bool Failing(TKind kind) { return IsChosen("TALVO_SHIM_FAIL", kind, failCalls, nullptr, true); }

void Counted(TKind kind) {
  if (!IsChosen("TALVO_SHIM_STOP", kind, stopCalls)) return;
  // This thread may be in the window itself (a stop right after a link).
  std::unique_lock<std::mutex> others(linkWindow, std::defer_lock);
  if (!inLinkWindow) others.lock();
  ::raise(SIGSTOP);
}

// The signal sent for TALVO_SHIM_SIGNAL: whether its handler began, and whether the
// call it came before was made.
void (*programHandlers[NSIG])(int);
std::atomic<bool> handlerBegan{false};
std::atomic<bool> handlerReturned{false};
std::atomic<bool> signalSent{false};
std::atomic<bool> callMade{false};

void Trampoline(int signal) {
  handlerBegan.store(true);
  programHandlers[signal](signal);
  handlerReturned.store(true);
}

bool OnMainThread() { return ::syscall(SYS_gettid) == ::getpid(); }

// Before a hidden name is made: the signal, when this is the call the test chose.
// Whether it is.
bool SignalBefore(TKind kind, const char* name) {
  const char* rest = nullptr;
  if (!IsHiddenName(name) || OnMainThread() || !IsChosen("TALVO_SHIM_SIGNAL", kind, signalCalls, &rest)) return false;
  signalSent.store(true);
  ::syscall(SYS_tgkill, ::getpid(), ::getpid(), std::atoi(rest + 1));
  // Bounded, as every wait here, by the alarm every test child runs under.
  while (!handlerBegan.load()) ::sched_yield();
  return true;
}

void SignalledCallMade(bool chosen) {
  if (!chosen) return;
  callMade.store(true);
  while (!handlerReturned.load()) ::sched_yield();
}

int OpenAt(int folder, const char* path, int flags, mode_t mode) {
  const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
  const bool creates = (flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL);
  if (unnamed && std::getenv("TALVO_SHIM_NO_TMPFILE") != nullptr) return Refused(EOPNOTSUPP);
  if (IsInProc(path)) return Refused(ENOENT);
  const bool chosen = creates && SignalBefore(kCreate, path);
  const int fd = static_cast<int>(::syscall(SYS_openat, folder, path, flags, mode));
  SignalledCallMade(chosen);
  if (fd >= 0 && unnamed) Counted(kTmpfile);
  if (fd >= 0 && creates) Counted(kCreate);
  return fd;
}

mode_t ModeArgument(va_list arguments) { return static_cast<mode_t>(va_arg(arguments, unsigned)); }

// What fsync reached and what pwrite wrote after, oldest first.
constexpr int kSyncs = 4096;
std::atomic<uint64_t> syncedFiles[kSyncs][3];  // device, inode, whether synced
std::atomic<int> syncCount{0};

void Note(int fd, bool synced) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return;
  const int at = syncCount.fetch_add(1) % kSyncs;
  syncedFiles[at][0].store(info.st_dev);
  syncedFiles[at][1].store(info.st_ino);
  syncedFiles[at][2].store(synced);
}

bool IsFolder(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

int Synced(long call, int fd) {
  const bool folder = IsFolder(fd);
  if (folder && Failing(kDirsync)) return Refused(EIO);
  const int result = static_cast<int>(::syscall(call, fd));
  if (result != 0) return result;
  Note(fd, true);
  if (folder) Counted(kDirsync);
  return result;
}

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

int access(const char* path, int mode) {
  if (IsInProc(path)) return Refused(ENOENT);
  return static_cast<int>(::syscall(SYS_faccessat, AT_FDCWD, path, mode));
}

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
  if (Failing(kLink)) return Refused(EIO);
  if (IsInProc(from)) return Refused(ENOENT);
  const bool chosen = SignalBefore(kLink, to);
  const bool hidden = IsHiddenName(to);
  if (hidden) linkWindow.lock();
  const int result = static_cast<int>(::syscall(SYS_linkat, fromFolder, from, toFolder, to, flags));
  SignalledCallMade(chosen);
  if (hidden && result == 0) inLinkWindow = true;
  if (hidden && result != 0) linkWindow.unlock();
  if (result == 0) Counted(kLink);
  return result;
}

int unlinkat(int folder, const char* path, int flags) {
  const int result = static_cast<int>(::syscall(SYS_unlinkat, folder, path, flags));
  // A handler removing the names before the chosen call was made: the call comes first.
  if (signalSent.load() && IsHiddenName(path)) {
    while (!callMade.load()) ::sched_yield();
  }
  LeaveLinkWindow(path);
  return result;
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
  const int result = static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
  // Exchanged, the hidden name stays, holding the old file, until it is removed.
  if (result == 0 && (flags & RENAME_EXCHANGE) == 0) LeaveLinkWindow(from);
  if (result == 0) Counted(kRename);
  return result;
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  return renameat2(fromFolder, from, toFolder, to, 0);
}

ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) {
  if (Failing(kPwrite)) return Refused(EIO);
  const auto result = static_cast<ssize_t>(::syscall(SYS_pwrite64, fd, bytes, count, offset));
  if (result > 0) Note(fd, false);
  if (result >= 0) Counted(kPwrite);
  return result;
}

ssize_t pwrite64(int fd, const void* bytes, size_t count, off_t offset) __attribute__((alias("pwrite")));

int fsync(int fd) { return Synced(SYS_fsync, fd); }

int fdatasync(int fd) { return Synced(SYS_fdatasync, fd); }

// Handlers the program installs run through the trampoline while TALVO_SHIM_SIGNAL
// is set, so that the chosen call knows when one began.
//
// A sanitizer's runtime installs its own handlers through here while it starts, before
// it can serve the guard of a function's static: the next sigaction is kept without one.
using TSigaction = int (*)(int, const struct sigaction*, struct sigaction*);
constinit std::atomic<TSigaction> nextSigaction{nullptr};

int sigaction(int signal, const struct sigaction* action, struct sigaction* old) {
  TSigaction next = nextSigaction.load(std::memory_order_acquire);
  if (next == nullptr) {
    next = reinterpret_cast<TSigaction>(::dlsym(RTLD_NEXT, "sigaction"));
    nextSigaction.store(next, std::memory_order_release);
  }
  if (action == nullptr || std::getenv("TALVO_SHIM_SIGNAL") == nullptr || (action->sa_flags & SA_SIGINFO) != 0 ||
      action->sa_handler == SIG_DFL || action->sa_handler == SIG_IGN || signal <= 0 || signal >= NSIG) {
    return next(signal, action, old);
  }
  programHandlers[signal] = action->sa_handler;
  struct sigaction through = *action;
  through.sa_handler = Trampoline;
  return next(signal, &through, old);
}

bool TalvoShimWasSynced(uint64_t device, uint64_t inode) {
  const int count = syncCount.load();
  for (int i = count - 1; i >= 0 && i > count - 1 - kSyncs; --i) {
    const auto& noted = syncedFiles[i % kSyncs];
    if (noted[0].load() == device && noted[1].load() == inode) return noted[2].load() != 0;
  }
  return false;
}

void TalvoShimForgetSyncs() { syncCount.store(0); }

void TalvoShimForgetCalls() {
  for (std::atomic<int>& calls : failCalls) calls.store(0);
}

}  // extern "C"
