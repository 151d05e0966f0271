#pragma once
// The worker that runs the simulated computer: it resets the core and steps it until
// the run is stopped, the window goes away, a step fails or termination is asked for.
//
// A run that cannot begin as asked (TTALVOCPU::ReadyToRun after the reset) takes no
// step at all: the body ends at once. The reset reads its files without the core lock
// (TTALVOCPU::ResetReadingUnlocked); a stop or termination meanwhile ends the body
// without a reset. The worker also serves the resets asked for during the run
// (RequestReset), so that whoever asks never waits on a file; ResetToServe tells the
// owner when the machine is the one a reset leaves, for whatever was asked after it.
//
// The thread is made like the platform thread the simulator was designed around:
// created suspended, resumed, suspended again for a pause, asked to terminate and
// joined. Pausing is cooperative: the worker parks between two blocks of steps, never
// inside a step; once Suspend has returned, a caller that takes the core lock knows
// that no step follows until Resume. The worker takes the core lock for one block
// (TTALVOCPU::Run) at a time, sized to a fraction of a millisecond (TBlockSizer), and
// lets a waiting UI thread in between blocks, so a pause, a stop or a UI action waits
// at most about one block.
//
// Every operation here may be called from the UI thread WITHOUT the core lock held;
// none of them blocks on the core except the destructor, which joins.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class TTALVOCPU;

class TCoreThread {
 public:
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
  // Asks for a reset of the machine and returns at once. The worker serves it between
  // two blocks, also while paused (the run stays paused) and after the run has ended,
  // reading the files without the core lock as at the start; a reset asked for while
  // one is read gives that read up and reads again, and a stop gives it up.
  void RequestReset();
  // True once a reset of this run, the first or one asked for, did not make the
  // machine ready to run: the run then takes no further step (Running is 0).
  bool Refused() const;
  // True while a reset asked for has not yet been served (done, or refused).
  bool ResetAsked() const { return resetsAsked_.load() != resetsServed_.load(); }
  // True while a reset of this run has still to be served: the run's first, until it
  // is done or given up, or one asked for. What the machine is after it is not yet there.
  bool ResetToServe() const { return !firstResetOver_.load() || ResetAsked(); }
  // Waits until the body has ended, at most the given time: true when it has. A
  // suspended thread that is not terminated never ends, so the caller resumes or
  // terminates it first.
  bool WaitFor(std::chrono::milliseconds limit);
  // True while the worker holds at a pause, between two blocks.
  bool Parked() const;

 private:
  void ThreadMain();
  void Execute();
  // Runs blocks until the loop must end.
  void RunBlocks();
  // Blocks while suspended and no reset is asked for; false once termination is
  // requested.
  bool WaitWhileSuspended();
  // Resets the machine, again while resets are asked for during the read. False when
  // `goesOn` gave the read up, or when the reset left the machine not ready to run
  // (the run is then over: Refused). `thenReady` runs under the lock after a reset that
  // did.
  bool ResetMachine(const std::function<bool()>& goesOn, const std::function<void()>& thenReady);
  // A reset's read during the run goes on while the run may.
  bool RunGoesOn() const { return Running.load() == 1 && !terminated_.load(); }
  // After the loop: serves the resets asked for until termination.
  void ServeResetsOfTheEndedRun();

  TTALVOCPU& cpu_;
  mutable std::mutex stateMutex_;
  std::condition_variable stateChanged_;
  bool started_ = false;    // resumed at least once
  bool finished_ = false;
  bool parked_ = false;
  std::atomic<bool> refused_{false};
  std::atomic<uint64_t> resetsAsked_{0};   // changed under stateMutex_
  std::atomic<uint64_t> resetsServed_{0};  // changed by the worker
  std::atomic<bool> firstResetOver_{false};
  std::atomic<bool> suspended_;
  std::atomic<bool> terminated_{false};
  std::thread thread_;
};
