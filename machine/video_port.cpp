#include "machine/core_host.h"
#include "machine/devices.h"

namespace {

constexpr uint64_t DrawModePlot = 1;
constexpr uint64_t ControlClearScreen = 2;

// Guest colours are 0x00BBGGRR; the surface takes 0x00RRGGBB.
uint32_t SurfaceColour(uint32_t guestColour) {
  const uint32_t red = guestColour & 0xFF;
  const uint32_t green = (guestColour >> 8) & 0xFF;
  const uint32_t blue = (guestColour >> 16) & 0xFF;
  return (red << 16) | (green << 8) | blue;
}

}  // namespace

void TVideoPort::Init() {
  DataLatch.Clear();
  AddressLatch.Clear();
  ControlLatch.Clear();
}

int TVideoPort::Write(Value128 value, CoreHost* host) {
  DataLatch.StoreHighLow(value);
  if (host == nullptr) return -1;
  if (ControlLatch.First != DrawModePlot) return 0;

  const uint64_t high = High64(value);
  const uint64_t x = (high >> 32) & 0xFFFF;
  const uint64_t y = high & 0xFFFF;
  const uint32_t colour = static_cast<uint32_t>(Low64(value) >> 32) & 0xFFFFFF;

  PixelSurface& screen = host->Screen();
  // A point on the far edge itself passes the check; the surface ignores it.
  if (x > static_cast<uint64_t>(screen.Width())) return 1;
  if (y > static_cast<uint64_t>(screen.Height())) return 2;
  screen.Plot(static_cast<int>(x), static_cast<int>(y), SurfaceColour(colour));
  return 0;
}

int TVideoPort::SetAddress(Value128 value) {
  AddressLatch.StoreLowHigh(value);
  return 0;
}

int TVideoPort::Control(Value128 value, CoreHost* host) {
  ControlLatch.StoreLowHigh(value);
  if (host == nullptr) return -1;
  if (Low64(value) == ControlClearScreen && High64(value) == 0) host->Screen().Clear(0);
  return 0;
}

int TVideoPort::ReadData(Value128& out) const {
  out = DataLatch.Value();
  return 0;
}

int TVideoPort::ReadAddress(Value128& out) const {
  out = AddressLatch.Value();
  return 0;
}

int TVideoPort::ReadControl(Value128& out) const {
  out = ControlLatch.Value();
  return 0;
}
