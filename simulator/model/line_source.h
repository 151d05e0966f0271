#pragma once
// The lines an inspection window lists. A window asks only for the lines it can show,
// so a list of millions of memory words costs no more to refresh than one of sixteen.

#include <cstdint>
#include <string>
#include <vector>

class TLineSource {
 public:
  virtual ~TLineSource() = default;
  virtual int64_t LineCount() const = 0;
  // The lines first .. first + count - 1 that exist, without their line ends.
  virtual std::vector<std::string> Lines(int64_t first, int64_t count) const = 0;
};
