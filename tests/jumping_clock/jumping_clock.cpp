// Preloaded into a test program (LD_PRELOAD), the host's real-time clock jumps a
// second forward at every read, so that a test reading the wall clock by any of its
// entries meets a second boundary between any two reads and fails every time,
// instead of once in a hundred runs.

#include <dlfcn.h>
#include <sys/time.h>
#include <time.h>

#include <atomic>

namespace {

std::atomic<long> reads{0};

using ClockRead = int (*)(clockid_t, timespec*);

ClockRead RealClock() {
  static const ClockRead real = reinterpret_cast<ClockRead>(::dlsym(RTLD_NEXT, "clock_gettime"));
  return real;
}

}  // namespace

extern "C" {

int clock_gettime(clockid_t clock, timespec* now) {
  const int result = RealClock()(clock, now);
  if (result == 0 && (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE)) now->tv_sec += ++reads;
  return result;
}

time_t time(time_t* out) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  if (out != nullptr) *out = now.tv_sec;
  return now.tv_sec;
}

// The C library declares `out` never null.
int gettimeofday(timeval* out, void*) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  out->tv_sec = now.tv_sec;
  out->tv_usec = now.tv_nsec / 1000;
  return 0;
}

}  // extern "C"
