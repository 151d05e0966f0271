#include "machine/devices.h"

void TLatch::StoreHighLow(Value128 value) {
  First = High64(value);
  Second = Low64(value);
}

void TLatch::StoreLowHigh(Value128 value) {
  First = Low64(value);
  Second = High64(value);
}

void TPortLatches::Init() {
  Latch1.Clear();
  Latch2.Clear();
  Latch3.Clear();
}

int TPortLatches::Write1(Value128 value) {
  Latch1.StoreHighLow(value);
  return 0;
}

int TPortLatches::Write2(Value128 value) {
  Latch2.StoreLowHigh(value);
  return 0;
}

int TPortLatches::Write3(Value128 value) {
  Latch3.StoreHighLow(value);
  return 0;
}

int TPortLatches::Read1(Value128& out) const {
  out = Latch1.Value();
  return 0;
}

int TPortLatches::Read2(Value128& out) const {
  out = Latch2.Value();
  return 0;
}

int TPortLatches::Read3(Value128& out) const {
  out = Latch3.Value();
  return 0;
}
