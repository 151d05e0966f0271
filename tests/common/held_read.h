#pragma once
// An image reader for the core (TTALVOCPU::ReadImage) whose reads wait at its gate
// while the test keeps it shut: a test sees what goes on while an image is read, and
// in what order reads end, without depending on how long a read takes.

#include <atomic>
#include <cerrno>
#include <string>

#include "eventually.h"
#include "machine/reset_files.h"

class THeldRead {
 public:
  // The gate starts open. A read held there leaves it as ECANCELED once its reader's
  // goesOn says so.
  TImageReader Reader() {
    return [this](const std::string& path, uint64_t limit, const TReadGoesOn& goesOn) {
      if (Hold(goesOn)) return ReadImageFile(path, limit, goesOn);
      TImageFile givenUp;
      givenUp.Error = ECANCELED;
      return givenUp;
    };
  }

  // Waits until `reads` reads have come to the gate and `givenUp` of them were given up
  // there; false after kEventuallyLimit.
  bool WaitFor(int reads, int givenUp = 0) {
    return Eventually([&] { return came_ >= reads && givenUp_ >= givenUp; });
  }
  int Reads() const { return came_; }
  int GivenUp() const { return givenUp_; }
  bool Holding() const { return holding_ > 0; }
  void Release() { open_ = true; }
  void Shut() { open_ = false; }

 private:
  // False when given up, or when the test never released it.
  bool Hold(const TReadGoesOn& goesOn) {
    ++came_;
    ++holding_;
    // The give-up is a flag of the reader's, which tells no one: looked at again and again.
    bool givenUp = false;
    const bool released = Eventually([&] { return open_ || (givenUp = goesOn && !goesOn()); }) && !givenUp;
    givenUp_ += givenUp ? 1 : 0;
    --holding_;
    return released;
  }

  std::atomic<int> came_{0}, holding_{0}, givenUp_{0};
  std::atomic<bool> open_{true};
};
