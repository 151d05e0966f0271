#include "base/interrupt_cleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

constexpr int kFree = -1;
constexpr int kFilling = -2;

// A fixed table, so that the handler reads it without taking a lock or allocating.
struct TSlot {
  std::atomic<int> Folder{kFree};  // the folder's descriptor once the name is complete
  char Name[kMaxInterruptName + 1];
};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kSlots = 64;
TSlot slots[kSlots];

// Threads between registering a name and making its file, and whether a handler is
// removing the names.
std::atomic<int> makingNames{0};
std::atomic<bool> ending{false};
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t HandledSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kSignals) sigaddset(&set, signal);
  return set;
}

void RemoveAndEnd(int signal) {
  ending.store(true);
  // Holders run with these signals blocked, so none of them is this thread; each makes
  // its one file and lets go.
  while (makingNames.load() != 0) {
  }
  for (TSlot& slot : slots) {
    const int folder = slot.Folder.load(std::memory_order_acquire);
    if (folder >= 0) ::unlinkat(folder, slot.Name, 0);
  }
  // The handler was reset to the default on entry; the signal, blocked until the
  // handler returns, then ends the program with its own status.
  ::raise(signal);
}

}  // namespace

TMakingName::TMakingName() {
  const sigset_t handled = HandledSignals();
  ::pthread_sigmask(SIG_BLOCK, &handled, &blocked_);
  makingNames.fetch_add(1);
  allowed_ = !ending.load();
}

TMakingName::~TMakingName() {
  makingNames.fetch_sub(1);
  ::pthread_sigmask(SIG_SETMASK, &blocked_, nullptr);
}

int RemoveOnInterrupt(int folder, const char* name) {
  const size_t length = std::strlen(name);
  if (length > kMaxInterruptName) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int free = kFree;
    if (!slots[i].Folder.compare_exchange_strong(free, kFilling, std::memory_order_acquire)) continue;
    std::memcpy(slots[i].Name, name, length + 1);
    slots[i].Folder.store(folder, std::memory_order_release);
    return i;
  }
  return -1;
}

void ForgetOnInterrupt(int slot) {
  if (slot >= 0 && slot < kSlots) slots[slot].Folder.store(kFree, std::memory_order_release);
}

void InstallInterruptCleanup() {
  for (const int signal : kSignals) {
    struct sigaction old {};
    if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}
