#include "simulator/model/run_control.h"

#include <mutex>

#include "machine/talvo_cpu.h"
#include "simulator/model/sim_texts.h"

TRunControl::TRunControl(TTALVOCPU& cpu) : cpu_(cpu) {}

TRunControl::~TRunControl() { EndThread(); }

void TRunControl::InOrder(std::function<void()> action, Waits waits) {
  waiting_.push_back({std::move(action), waits});
  ServeWaiting();
}

bool TRunControl::MustWait(Waits waits) const {
  if (!thread_) return false;
  switch (waits) {
    case Waits::ForResets: return thread_->ResetToServe();
    case Waits::ForAskedResets: return thread_->ResetAsked();
    case Waits::ForActions: break;
  }
  return false;
}

void TRunControl::ServeWaiting() {
  // An action that shows a box turns the event loop, which may call here again: the
  // actions behind it wait for it to end.
  if (serving_) return;
  serving_ = true;
  struct TServed {
    bool& Serving;
    ~TServed() { Serving = false; }
  } served{serving_};
  while (!waiting_.empty() && !MustWait(waiting_.front().For)) {
    const std::function<void()> action = std::move(waiting_.front().Action);
    waiting_.pop_front();
    action();
  }
}

void TRunControl::Close() {
  waiting_.clear();
  EndThread();
}

void TRunControl::EndThread() {
  if (!thread_) return;
  thread_->Running = 0;
  thread_->Terminate();
  // The destructor lets a suspended worker go on so that it can leave, then joins:
  // no fixed wait is needed for the worker to see the cleared flag.
  thread_.reset();
}

std::string TRunControl::RunFromStart(const std::function<void()>& beforeResume) {
  EndThread();
  thread_ = std::make_unique<TCoreThread>(cpu_, true);
  endTaken_ = false;
  refusalTaken_ = false;
  thread_->Running = 1;
  if (beforeResume) beforeResume();
  thread_->Resume();
  stepButtonEnabled_ = false;
  runButtonEnabled_ = false;
  return kTextRunStarted;
}

std::string TRunControl::Pause() {
  if (!thread_) return {};
  if (thread_->Suspended()) {
    thread_->Resume();
    return kTextContinued;
  }
  thread_->Suspend();
  return kTextPaused;
}

std::string TRunControl::Resume() {
  if (!thread_) return {};
  thread_->Resume();
  return kTextResumed;
}

std::string TRunControl::Stop() {
  std::string text;
  if (thread_) {
    EndThread();
    text = kTextStopped;
  }
  stepButtonEnabled_ = true;
  runButtonEnabled_ = true;
  return text;
}

void TRunControl::RequestReset() {
  if (thread_) thread_->RequestReset();
}

bool TRunControl::SingleStep() {
  bool done = false;
  {
    std::lock_guard<TCoreLock> guard(cpu_.CoreLock);
    done = cpu_.Step();
  }
  runButtonEnabled_ = false;
  return done;
}

bool TRunControl::TakeEndedRun() {
  if (!thread_ || endTaken_ || !thread_->Finished() || thread_->Refused()) return false;
  endTaken_ = true;
  stepButtonEnabled_ = true;
  runButtonEnabled_ = true;
  return true;
}

bool TRunControl::TakeRefusedRun() {
  if (!thread_ || refusalTaken_ || !thread_->Refused()) return false;
  refusalTaken_ = true;
  return true;
}

TRunControl::State TRunControl::GetState() const {
  if (!thread_) return State::Idle;
  if (thread_->Finished() || thread_->Running == 0) return State::Finished;
  if (thread_->Suspended()) return State::Paused;
  return State::Running;
}
