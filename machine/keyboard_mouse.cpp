#include "machine/devices.h"

void TKeyboard::Init() { PendingKey.store(0); }

int TKeyboard::Control(Value128 value) {
  ControlLatch.StoreHighLow(value);
  if (value == 0) PendingKey.store(0);
  return 0;
}

int TKeyboard::Read(Value128& out) {
  // Taking the key in one exchange keeps a key pressed meanwhile from being lost.
  const int64_t key = PendingKey.exchange(0);
  out = MakeValue128(static_cast<uint64_t>(key), 0);
  return 0;
}

void TMouseThings::Init() {
  Button.store(0);
  ControlLatch.Clear();
  X.store(0);
  Y.store(0);
}

int TMouseThings::Control(Value128 value) {
  ControlLatch.StoreHighLow(value);
  if (value == 0) Init();
  return 0;
}

int TMouseThings::Read(Value128& out) {
  const uint64_t x = static_cast<uint64_t>(X.load()) & 0xFFFF;
  const uint64_t y = static_cast<uint64_t>(Y.load()) & 0xFFFF;
  const uint64_t button = static_cast<uint64_t>(Button.exchange(0));
  out = MakeValue128((x << 48) + (y << 32) + button, 0);
  return 0;
}
