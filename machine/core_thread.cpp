#include "machine/core_thread.h"

#include "machine/talvo_cpu.h"

TCoreThread::TCoreThread(TTALVOCPU& cpu, bool createSuspended)
    : cpu_(cpu), suspended_(createSuspended) {
  started_ = !createSuspended;
  thread_ = std::thread([this] { ThreadMain(); });
}

TCoreThread::~TCoreThread() {
  Terminate();
  if (thread_.joinable()) thread_.join();
}

void TCoreThread::Resume() {
  {
    std::lock_guard<std::mutex> guard(stateMutex_);
    started_ = true;
    suspended_ = false;
  }
  stateChanged_.notify_all();
}

void TCoreThread::Suspend() { suspended_ = true; }

bool TCoreThread::Suspended() const { return suspended_; }

void TCoreThread::Terminate() {
  {
    std::lock_guard<std::mutex> guard(stateMutex_);
    terminated_ = true;
  }
  stateChanged_.notify_all();
}

bool TCoreThread::Terminated() const { return terminated_; }

bool TCoreThread::Finished() const {
  std::lock_guard<std::mutex> guard(stateMutex_);
  return finished_;
}

void TCoreThread::WaitFor() {
  std::unique_lock<std::mutex> lock(stateMutex_);
  stateChanged_.wait(lock, [this] { return finished_; });
}

void TCoreThread::ThreadMain() {
  {
    std::unique_lock<std::mutex> lock(stateMutex_);
    stateChanged_.wait(lock, [this] { return started_ || terminated_; });
    // Terminated before it was ever resumed: the body never runs.
    if (!started_) {
      finished_ = true;
      stateChanged_.notify_all();
      return;
    }
  }
  Execute();
  {
    std::lock_guard<std::mutex> guard(stateMutex_);
    finished_ = true;
  }
  stateChanged_.notify_all();
}

void TCoreThread::Execute() {
  {
    std::lock_guard<TCoreLock> guard(cpu_.CoreLock);
    cpu_.Reset();
    if (cpu_.Host != nullptr) cpu_.Host->SetInstructionTimerEnabled(true);
  }
  RunSlices();
  std::lock_guard<TCoreLock> guard(cpu_.CoreLock);
  Running = 0;
  if (cpu_.Host != nullptr) cpu_.Host->SetInstructionTimerEnabled(false);
}

void TCoreThread::RunSlices() {
  while (WaitWhileSuspended()) {
    {
      std::lock_guard<TCoreLock> guard(cpu_.CoreLock);
      for (int i = 0; i < SliceSteps; ++i) {
        if (Running.load(std::memory_order_relaxed) != 1) return;
        if (cpu_.Host != nullptr && !cpu_.Host->WindowExists()) return;
        if (!cpu_.Step()) return;
        if (terminated_.load(std::memory_order_relaxed)) return;
        // A pause or a waiting UI action ends the slice at this step boundary.
        if (suspended_.load(std::memory_order_relaxed) || cpu_.CoreLock.Waiting()) break;
      }
    }
    // A mutex need not hand itself to the thread that waits: give way until the
    // waiting action holds the lock, or it could starve behind the next slice.
    while (cpu_.CoreLock.Waiting()) std::this_thread::yield();
  }
}

bool TCoreThread::WaitWhileSuspended() {
  if (!suspended_ && !terminated_) return true;
  std::unique_lock<std::mutex> lock(stateMutex_);
  stateChanged_.wait(lock, [this] { return !suspended_ || terminated_; });
  return !terminated_;
}
