#pragma once
// The main window's run control without widgets: the thread of the current run, the
// state the window shows, the status texts of its commands and the two tool buttons
// they enable and disable.
//
// Everything here runs on the UI thread. The core lock is taken around every action
// on the core; ending a thread never happens with the lock held, because joining
// waits for the worker, which may be waiting for that lock.
//
// The user's actions act in the order given (InOrder): one that comes while a reset
// of the run is still reading its files waits behind it, without holding up the
// window, and acts on the machine the reset leaves.

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "machine/core_thread.h"

class TTALVOCPU;

class TRunControl {
 public:
  enum class State { Idle, Running, Paused, Finished };
  // What an action waits for besides the actions before it.
  enum class Waits {
    // Every reset the run has still to serve: the action acts on the machine it leaves.
    ForResets,
    // The resets asked for: a stop gives up the run's first reset with the run.
    ForAskedResets,
    // Nothing more: run from start and reset read anew, which replaces a read under way.
    ForActions,
  };

  explicit TRunControl(TTALVOCPU& cpu);
  ~TRunControl();
  TRunControl(const TRunControl&) = delete;
  TRunControl& operator=(const TRunControl&) = delete;

  // Each returns the GBK status text for panel 1, or an empty text to keep it.
  // `beforeResume` runs after the new thread exists and before it starts, so that
  // whatever it switches off cannot undo what the thread's first steps switch on.
  std::string RunFromStart(const std::function<void()>& beforeResume = {});
  std::string Pause();
  std::string Resume();
  std::string Stop();
  // Resets the machine while a thread object exists (running, paused or finished): the
  // run's thread reads the files (TCoreThread::RequestReset), and this returns at once.
  // A reset that leaves the machine not ready to run (no image, not the memory asked
  // for) ends the run, which TakeRefusedRun then tells.
  void RequestReset();
  // One instruction on the calling thread from the machine's current state; the
  // step's result, which the window does not look at.
  bool SingleStep();

  State GetState() const;
  bool HasThread() const { return thread_ != nullptr; }
  // The tool buttons "one instruction" (TBRun) and "run from start" (TBRunFirst).
  bool StepButtonEnabled() const { return stepButtonEnabled_; }
  bool RunButtonEnabled() const { return runButtonEnabled_; }

  // True once for a run that ended by itself (a step failed; a refused reset is told by
  // TakeRefusedRun): both tool buttons are enabled again, as after stop. The thread
  // object stays until stop or the next run, so reset still acts on the finished run.
  bool TakeEndedRun();
  // True once for a run that a reset, its first or one asked for, did not make ready to
  // run: it takes no further step, and the caller stops it.
  bool TakeRefusedRun();

  // Runs the action now, or after the actions before it and what it waits for; the
  // window calls ServeWaiting at every update to run those whose wait is over.
  void InOrder(std::function<void()> action, Waits waits = Waits::ForResets);
  void ServeWaiting();
  // Drops the actions still waiting and ends the run (the window closes).
  void Close();

  // Ends the current run and joins its thread; nothing without one.
  void EndThread();

 private:
  struct TWaiting {
    std::function<void()> Action;
    Waits For;
  };
  bool MustWait(Waits waits) const;

  TTALVOCPU& cpu_;
  std::unique_ptr<TCoreThread> thread_;
  std::deque<TWaiting> waiting_;
  bool serving_ = false;
  bool stepButtonEnabled_ = true;
  bool runButtonEnabled_ = true;
  bool endTaken_ = false;
  bool refusalTaken_ = false;
};
