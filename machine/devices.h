#pragma once
// The simulated computer's small devices: screen, keyboard, mouse, timer and clock,
// serial and parallel latches. The core owns one of each and calls them from OUT and
// IN with the core lock held. Write operations take the 128-bit port value, read
// operations fill one; every operation returns 0 when done and -1 when an object it
// needs (the host window) is missing.

#include <atomic>
#include <chrono>
#include <cstdint>

#include "machine/value128.h"

class CoreHost;

// A device register of two 64-bit words. Reads give First as the high half and
// Second as the low half, so a latch stored low-half-first reads back swapped.
struct TLatch {
  uint64_t First = 0;
  uint64_t Second = 0;

  void StoreHighLow(Value128 value);
  void StoreLowHigh(Value128 value);
  Value128 Value() const { return MakeValue128(First, Second); }
  void Clear() { First = Second = 0; }
};

// The screen: plots pixels on the host's surface. There is no video memory; the
// address latch is only stored and read back.
class TVideoPort {
 public:
  TLatch DataLatch;     // stored (H, L)
  TLatch AddressLatch;  // stored (L, H)
  TLatch ControlLatch;  // stored (L, H); First is the drawing mode, 1 = plot

  void Init();
  // 0 drawn or nothing to draw, 1 x beyond the surface width, 2 y beyond its
  // height, -1 no host (the latch is stored all the same).
  int Write(Value128 value, CoreHost* host);
  int SetAddress(Value128 value);
  // L = 2 with H = 0 clears the screen to black.
  int Control(Value128 value, CoreHost* host);
  int ReadData(Value128& out) const;
  int ReadAddress(Value128& out) const;
  int ReadControl(Value128& out) const;
};

// One pending key. The UI thread stores PendingKey while a run may go on; the core
// takes it with Read.
class TKeyboard {
 public:
  std::atomic<int8_t> PendingKey{0};  // 0 = none
  TLatch ControlLatch;                // stored (H, L)

  void Init();
  // A value of 0 also drops the pending key.
  int Control(Value128 value);
  // H = the key sign-extended, L = 0; the key is consumed.
  int Read(Value128& out);
};

// The mouse as the main window reports it. The UI thread stores X, Y and Button
// while a run may go on (position first, then the button).
class TMouseThings {
 public:
  std::atomic<int64_t> Button{0};  // 0 none, 1 left, 2 middle, 4 right
  TLatch ControlLatch;             // stored (H, L)
  std::atomic<int64_t> X{0};       // client pixels
  std::atomic<int64_t> Y{0};

  void Init();
  // A value of 0 runs Init, clearing the latch just written too.
  int Control(Value128 value);
  // H = X mod 2^16 at bit 48, Y mod 2^16 at bit 32, plus the button; L = 0. The
  // button is consumed, the position stays.
  int Read(Value128& out);
};

// The device timer (driven through the host, its tick raises interrupt 6) and the
// clock. A guest that sets the clock moves only this device's view of it: the
// offset from the host's clock is kept here and the host's clock is never set.
class TTimerThings {
 public:
  using THostClock = std::chrono::system_clock::time_point (*)();

  uint64_t Second = 0;
  uint64_t Minute = 0;
  uint64_t Hour = 0;
  uint64_t Day = 0;
  uint64_t Month = 0;
  uint64_t Year = 0;
  TLatch ControlLatch;  // stored (H, L): First the interval in ms, Second the enable flag
  std::chrono::system_clock::duration ClockOffset{0};
  // The host's date and time the device's clock follows. Init leaves it: a test
  // gives a clock it controls, so that two runs of one program read the same time.
  THostClock HostClock = &std::chrono::system_clock::now;

  void Init();
  // Clears the clock fields and the latch, and stops the host's timer with an
  // interval of 1000 ms. The clock offset stays: disabling the timer does not
  // undo a clock the guest has set.
  int Reset(CoreHost* host);
  // Interval = low 32 bits of H, enabled exactly when L = 1; H = L = 0 resets
  // first. An interval of 0 never fires, so the host is told it is disabled.
  int Control(Value128 value, CoreHost* host);
  // Only while the latch's First is exactly 1: sets the device's clock to
  // H = second | minute << 8 | hour << 16 | day << 24 | month << 32, L = year.
  int WriteClock(Value128 value);
  // The device's local date and time now, packed as WriteClock takes it.
  int ReadClock(Value128& out);
  // Latch = (host timer interval, 1 if enabled else 0), returned.
  int ReadStatus(Value128& out, CoreHost* host);
};

// Three plain latches; the serial and parallel ports touch no host port.
class TPortLatches {
 public:
  TLatch Latch1;  // stored (H, L)
  TLatch Latch2;  // stored (L, H)
  TLatch Latch3;  // stored (H, L)

  void Init();
  int Write1(Value128 value);
  int Write2(Value128 value);
  int Write3(Value128 value);
  int Read1(Value128& out) const;
  int Read2(Value128& out) const;
  int Read3(Value128& out) const;
};

class TComPort : public TPortLatches {};
class TLpt : public TPortLatches {};
