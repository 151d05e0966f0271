#pragma once
// Plain 128-bit arithmetic that the number routines under test are checked against.

#include <string_view>

#include "machine/value128.h"

// The value of a text of fewer than 128 decimal digits (no digits is zero), false for
// any other text and for a value of 2^128 or more.
inline bool DecimalValue128(std::string_view text, Value128& out) {
  if (text.size() >= 128) return false;
  Value128 value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (~Value128{0} - digit) / 10) return false;
    value = value * 10 + digit;
  }
  out = value;
  return true;
}
