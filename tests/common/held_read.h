#pragma once
// An image reader for the core (TTALVOCPU::ReadImage) that holds reads at its gate
// until the test lets them go: a test sees what goes on while an image is read, and
// in what order reads end, without depending on how long a read takes.

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>

#include "eventually.h"
#include "machine/reset_files.h"

class THeldRead {
 public:
  // Holds the reads of `onlyPath` (of every path when empty) that come while it is shut
  // (from the start until Release, and again after Shut).
  // A read that heeds its reader's give-up leaves the gate, as ECANCELED, once the
  // reader's goesOn says so; one that does not stands for a part of a read under way,
  // which the give-up cannot stop: it reads on once released.
  explicit THeldRead(bool heedGiveUp = true, std::string onlyPath = {})
      : heedGiveUp_(heedGiveUp), onlyPath_(std::move(onlyPath)) {}

  TImageReader Reader() {
    return [this](const std::string& path, uint64_t limit, const TReadGoesOn& goesOn) {
      if (!onlyPath_.empty() && path != onlyPath_) return ReadImageFile(path, limit, goesOn);
      if (!Hold(heedGiveUp_ ? goesOn : TReadGoesOn{})) {
        TImageFile givenUp;
        givenUp.Error = ECANCELED;
        return givenUp;
      }
      return ReadImageFile(path, limit, heedGiveUp_ ? goesOn : TReadGoesOn{});
    };
  }

  // Waits until `count` reads have come to the gate; false after kEventuallyLimit.
  bool WaitForReads(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kEventuallyLimit, [&] { return came_ >= count; });
  }
  // Waits until `count` reads held at the gate have been given up.
  bool WaitForGivenUp(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kEventuallyLimit, [&] { return givenUp_ >= count; });
  }
  bool Holding() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return holding_ > 0;
  }
  int Reads() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return came_;
  }
  int GivenUp() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return givenUp_;
  }
  void Release() {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      released_ = true;
    }
    changed_.notify_all();
  }
  void Shut() {
    std::lock_guard<std::mutex> guard(mutex_);
    released_ = false;
  }

 private:
  // False when given up, or when the test never released it.
  bool Hold(const TReadGoesOn& goesOn) {
    std::unique_lock<std::mutex> lock(mutex_);
    ++came_;
    ++holding_;
    changed_.notify_all();
    const auto deadline = std::chrono::steady_clock::now() + kEventuallyLimit;
    bool released = false;
    for (;;) {
      released = released_;
      if (released || std::chrono::steady_clock::now() > deadline) break;
      if (goesOn && !goesOn()) {
        ++givenUp_;
        break;
      }
      // The give-up is a flag of the reader's, which tells no one: look again soon.
      changed_.wait_for(lock, std::chrono::milliseconds(1));
    }
    --holding_;
    changed_.notify_all();
    return released;
  }

  const bool heedGiveUp_;
  const std::string onlyPath_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  int came_ = 0;
  int holding_ = 0;
  int givenUp_ = 0;
  bool released_ = false;
};
