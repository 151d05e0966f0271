#pragma once
// A broken property stops a target as a crash does, and says which property broke.

#include <cstdio>
#include <cstdlib>

inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "broken property: %s\n", property);
  std::abort();
}
