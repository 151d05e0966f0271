#pragma once
// The worker that runs the simulated computer: it resets the core and steps it until
// the run is stopped, the window goes away, a step fails or termination is asked for.
//
// The thread is made like the platform thread the simulator was designed around:
// created suspended, resumed, suspended again for a pause, asked to terminate and
// joined. Pausing is cooperative: the worker parks at the next step boundary, never
// inside a step. It takes the core lock for a slice of steps at a time and lets a
// waiting UI thread in between slices, so no UI action waits longer than one slice.
//
// Every operation here may be called from the UI thread WITHOUT the core lock held;
// none of them blocks on the core except the destructor, which joins.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class TTALVOCPU;

class TCoreThread {
 public:
  // Most steps run under one hold of the core lock; the worker also lets go of it as
  // soon as another thread waits for it.
  static constexpr int SliceSteps = 4096;

  // With createSuspended the body waits for Resume; otherwise it starts at once.
  explicit TCoreThread(TTALVOCPU& cpu, bool createSuspended = true);
  // Requests termination, lets a suspended thread go on so that it can leave, and
  // waits until it has left. A thread that was never resumed does not run its body.
  ~TCoreThread();

  TCoreThread(const TCoreThread&) = delete;
  TCoreThread& operator=(const TCoreThread&) = delete;

  // 1 while the run may go on: set by the owner before Resume, cleared by the owner to
  // stop and by the worker when its loop ends.
  std::atomic<uint8_t> Running{0};

  void Resume();
  // The worker parks before its next step; Suspended is true from this call on.
  void Suspend();
  bool Suspended() const;
  void Terminate();
  bool Terminated() const;
  // True once the body has ended (the loop left, the instruction timer switched off).
  bool Finished() const;
  // Waits until the body has ended; a suspended thread that is not terminated would
  // never end, so the caller resumes or terminates it first.
  void WaitFor();

 private:
  void ThreadMain();
  void Execute();
  // Runs slices until the loop must end.
  void RunSlices();
  // Blocks while suspended; false once termination is requested.
  bool WaitWhileSuspended();

  TTALVOCPU& cpu_;
  mutable std::mutex stateMutex_;
  std::condition_variable stateChanged_;
  bool started_ = false;    // resumed at least once
  bool finished_ = false;
  std::atomic<bool> suspended_;
  std::atomic<bool> terminated_{false};
  std::thread thread_;
};
