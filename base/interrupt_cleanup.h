#pragma once
// Temporary files an interrupted program must not leave behind. A writer registers a
// temporary file's name for as long as the file exists under it; in a program that
// installed the handlers, SIGINT, SIGTERM and SIGHUP remove every registered name and
// then end the program as the signal would have. SIGKILL cannot be caught: what must
// survive it takes no name before it is complete.

#include <signal.h>

#include <cstddef>

// The longest name the table holds.
constexpr size_t kMaxInterruptName = 31;

// Held by a thread while it registers a name and makes the file under it: the three
// signals wait meanwhile, and a handler running on another thread waits for every
// holder before it removes the names, so no name is made after the removal began.
class TMakingName {
 public:
  TMakingName();
  ~TMakingName();
  TMakingName(const TMakingName&) = delete;
  TMakingName& operator=(const TMakingName&) = delete;
  // False once an interruption is removing the names: make none then.
  bool Allowed() const { return allowed_; }

 private:
  sigset_t blocked_;  // the thread's signal mask before
  bool allowed_;
};

// Registers `name` in the folder open as `folder`. The slot to give back, or -1 when
// the name is too long or the table full (the name then goes only with its writer).
int RemoveOnInterrupt(int folder, const char* name);
// The name was removed or took its file's place: the slot is free again (-1 is ignored).
void ForgetOnInterrupt(int slot);

// Installs the handlers, leaving a signal the program was started to ignore ignored.
void InstallInterruptCleanup();
