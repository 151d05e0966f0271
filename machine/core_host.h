#pragma once
// What the simulated computer needs of the window it runs in. The core never sees a
// toolkit: the simulator's main window implements this, tests implement a fake.
//
// Every call is made with the core lock held, on either the core thread or the UI
// thread; an implementation must not block on the UI from here, only record what
// has to be shown and let the UI thread pick it up.

#include <cstdint>
#include <vector>

class TTALVOCPU;

// The simulated screen: a pixel buffer the devices draw into and the window paints.
class PixelSurface {
 public:
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Colours are 0x00RRGGBB. Points outside the surface are ignored.
  void Plot(int x, int y, uint32_t colour);
  void Clear(uint32_t colour = 0);
  uint32_t Pixel(int x, int y) const;
  const std::vector<uint32_t>& Pixels() const { return pixels_; }
  // Bumped on every change so a painter can skip unchanged frames.
  uint64_t Generation() const { return generation_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
  uint64_t generation_ = 0;
};

class CoreHost {
 public:
  virtual ~CoreHost() = default;

  virtual PixelSurface& Screen() = 0;

  // The device timer whose tick raises interrupt 6. An interval of 0 never fires,
  // even when enabled: an implementation starts no timer then (a toolkit timer of
  // interval 0 would fire continuously).
  virtual void SetDeviceTimer(uint32_t intervalMs, bool enabled) = 0;
  virtual uint32_t DeviceTimerInterval() const = 0;
  virtual bool DeviceTimerEnabled() const = 0;

  // The 500 ms timer that shows the last executed instruction during a run.
  virtual void SetInstructionTimerEnabled(bool enabled) = 0;

  // New inspection windows bound to the core; each returns 0, or -1 when none opened.
  virtual int OpenMemoryView(TTALVOCPU& core) = 0;
  virtual int OpenCommonRegisters(TTALVOCPU& core) = 0;
  virtual int OpenSpecialRegisters(TTALVOCPU& core) = 0;
  virtual int OpenTestDialog(TTALVOCPU& core) = 0;

  // False once the main window is going away; ends a run.
  virtual bool WindowExists() const = 0;
};
