#pragma once
// What an interrupted program must not leave behind. A writer registers a temporary
// file's name for as long as the file exists under it, and a file written in place the
// space reserved for it; in a program that installed the handlers, SIGINT, SIGTERM,
// SIGHUP and SIGQUIT remove every registered name, give back every reserved space and
// then end the program as the signal would have. SIGKILL cannot be caught: what must
// survive it takes no name before it is complete.
//
// A signal never cuts a step that must end whole (making a temporary name, writing a
// file over its own bytes): arriving meanwhile, it is held, and the last such step to
// end ends the program. The handler itself never waits.

#include <sys/types.h>

#include <cstddef>

// The longest name the table holds.
constexpr size_t kMaxInterruptName = 31;

// Held by a thread while it runs a step that must end whole.
class TUnbrokenStep {
 public:
  TUnbrokenStep();
  ~TUnbrokenStep();
  TUnbrokenStep(const TUnbrokenStep&) = delete;
  TUnbrokenStep& operator=(const TUnbrokenStep&) = delete;
  // False once an interruption is ending the program: start nothing then.
  bool Allowed() const { return allowed_; }

 private:
  bool allowed_;
};

// Registers `name` in the folder open as `folder`. The slot to give back, or -1 when
// the name is too long or the table full (the name then goes only with its writer).
int RemoveOnInterrupt(int folder, const char* name);
// Registers the space reserved beyond `size` in the file open as `fd` (GiveBackSpace,
// file_write.h). The slot to give back, or -1 when the table is full.
int GiveBackOnInterrupt(int fd, off_t size);
// The name was removed or took its file's place, or the space was used or given back:
// the slot is free again (-1 is ignored).
void ForgetOnInterrupt(int slot);

// Installs the handlers, leaving a signal the program was started to ignore ignored.
void InstallInterruptCleanup();
