#include "machine/core_thread.h"

#include "machine/block_sizer.h"
#include "machine/talvo_cpu.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

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

bool TCoreThread::WaitFor(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(stateMutex_);
  return stateChanged_.wait_for(lock, limit, [this] { return finished_; });
}

void TCoreThread::RequestReset() {
  {
    std::lock_guard<std::mutex> guard(stateMutex_);
    ++resetsAsked_;
  }
  stateChanged_.notify_all();
}

bool TCoreThread::Refused() const { return refused_; }

bool TCoreThread::Parked() const {
  std::lock_guard<std::mutex> guard(stateMutex_);
  return parked_;
}

void TCoreThread::ThreadMain() {
  {
    std::unique_lock<std::mutex> lock(stateMutex_);
    stateChanged_.wait(lock, [this] { return started_ || terminated_; });
    // Terminated before it was ever resumed: the body never runs.
    if (!started_) {
      firstResetOver_ = true;
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
  ServeResetsOfTheEndedRun();
}

void TCoreThread::Execute() {
  const bool begun = ResetMachine([this] { return RunGoesOn(); }, [this] {
    if (cpu_.Host != nullptr) cpu_.Host->SetInstructionTimerEnabled(true);
  });
  firstResetOver_ = true;
  if (begun) RunBlocks();
  std::lock_guard<TCoreLock> guard(cpu_.CoreLock);
  Running = 0;
  if (cpu_.Host != nullptr) cpu_.Host->SetInstructionTimerEnabled(false);
}

bool TCoreThread::ResetMachine(const std::function<bool()>& goesOn, const std::function<void()>& thenReady) {
  for (;;) {
    const uint64_t asked = resetsAsked_.load();
    bool ready = false;
    // The files are read without the core lock, so the window goes on while a large
    // image is read.
    const bool done = cpu_.ResetReadingUnlocked([&] { return resetsAsked_.load() == asked && goesOn(); }, [&] {
      // A machine without its image or the memory wanted takes no step.
      ready = cpu_.ReadyToRun();
      if (!ready) {
        Running = 0;
        refused_ = true;
      } else if (thenReady) {
        thenReady();
      }
    });
    if (done) {
      resetsServed_ = asked;
      return ready;
    }
    if (!goesOn()) return false;
  }
}

void TCoreThread::ServeResetsOfTheEndedRun() {
  // The ended run keeps its machine, which a reset still acts on.
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(stateMutex_);
      stateChanged_.wait(lock, [this] { return terminated_ || ResetAsked(); });
      if (terminated_) return;
    }
    ResetMachine([this] { return !terminated_.load(); }, {});
  }
}

void TCoreThread::RunBlocks() {
  TBlockSizer blocks;
  while (WaitWhileSuspended()) {
    if (ResetAsked()) {
      if (!ResetMachine([this] { return RunGoesOn(); }, {})) return;
      continue;
    }
    {
      std::lock_guard<TCoreLock> guard(cpu_.CoreLock);
      if (Running.load(std::memory_order_relaxed) != 1) return;
      if (cpu_.Host != nullptr && !cpu_.Host->WindowExists()) return;
      // Suspended while this thread waited for the lock: whoever suspended it may be
      // holding it now and count on no step after.
      if (suspended_.load()) continue;
      const Clock::time_point start = Clock::now();
      if (cpu_.Run(blocks.Steps(), TBlockSizer::OperationSteps).Failed) return;
      blocks.Took(Clock::now() - start);
      if (terminated_.load(std::memory_order_relaxed)) return;
    }
    // A mutex need not hand itself to the thread that waits: give way until the
    // waiting action holds the lock, or it could starve behind the next block.
    while (cpu_.CoreLock.Waiting()) std::this_thread::yield();
  }
}

bool TCoreThread::WaitWhileSuspended() {
  if (!suspended_ && !terminated_) return true;
  std::unique_lock<std::mutex> lock(stateMutex_);
  parked_ = true;
  stateChanged_.wait(lock, [this] { return !suspended_ || terminated_ || ResetAsked(); });
  parked_ = false;
  return !terminated_;
}
