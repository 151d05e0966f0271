#include "base/interrupt_cleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "base/file_write.h"

namespace {

constexpr int kFree = -1;
constexpr int kFilling = -2;

// A fixed table, so that the handler reads it without taking a lock or allocating.
// A slot holds a name to remove, or, with an empty name, a file's reserved space.
struct TSlot {
  std::atomic<int> Fd{kFree};  // the folder's or the file's descriptor once the slot is complete
  char Name[kMaxInterruptName + 1];
  off_t Size;
};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kSlots = 64;
TSlot slots[kSlots];

// One word, so that a signal and the end of the last step never both miss the other:
// the steps running, and whether a signal is held for them.
constexpr unsigned kHeld = 1u << 31;
std::atomic<unsigned> steps{0};
std::atomic<int> heldSignal{0};
std::atomic<bool> ended{false};
static_assert(std::atomic<unsigned>::is_always_lock_free);

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

sigset_t HandledSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kSignals) sigaddset(&set, signal);
  return set;
}

// Async-signal-safe: run by the handler, or by the last step when a signal was held.
void CleanUpAndEnd() {
  if (ended.exchange(true)) return;
  for (TSlot& slot : slots) {
    const int fd = slot.Fd.load(std::memory_order_acquire);
    if (fd >= 0 && slot.Name[0] != '\0') ::unlinkat(fd, slot.Name, 0);
    if (fd >= 0 && slot.Name[0] == '\0') GiveBackSpace(fd, slot.Size);
  }
  // The signal's own action ends the program with its own status.
  const int signal = heldSignal.load();
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
  ::kill(::getpid(), signal);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void Interrupted(int signal) {
  int none = 0;
  heldSignal.compare_exchange_strong(none, signal);
  // A step running: the last one to end ends the program.
  if ((steps.fetch_or(kHeld) & ~kHeld) == 0) CleanUpAndEnd();
}

int Register(int fd, const char* name, off_t size) {
  const size_t length = std::strlen(name);
  if (length > kMaxInterruptName) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int free = kFree;
    if (!slots[i].Fd.compare_exchange_strong(free, kFilling, std::memory_order_acquire)) continue;
    std::memcpy(slots[i].Name, name, length + 1);
    slots[i].Size = size;
    slots[i].Fd.store(fd, std::memory_order_release);
    return i;
  }
  return -1;
}

}  // namespace

TUnbrokenStep::TUnbrokenStep() : allowed_((steps.fetch_add(1) & kHeld) == 0) {}

TUnbrokenStep::~TUnbrokenStep() {
  if (steps.fetch_sub(1) == (kHeld | 1)) CleanUpAndEnd();
}

int RemoveOnInterrupt(int folder, const char* name) { return Register(folder, name, 0); }

int GiveBackOnInterrupt(int fd, off_t size) { return Register(fd, "", size); }

void ForgetOnInterrupt(int slot) {
  if (slot >= 0 && slot < kSlots) slots[slot].Fd.store(kFree, std::memory_order_release);
}

void InstallInterruptCleanup() {
  for (const int signal : kSignals) {
    struct sigaction old {};
    if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = Interrupted;
    // The handler may return (a step runs): what it interrupted goes on.
    action.sa_flags = SA_RESTART;
    action.sa_mask = HandledSignals();
    ::sigaction(signal, &action, nullptr);
  }
}
