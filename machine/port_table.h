#pragma once
// The 24 device port numbers the port instructions compare against, in table order:
// the access addresses of video, hard disk, floppy, serial and parallel port, then
// their write ports, then their control ports, then keyboard, mouse and timer with
// three each.

#include <array>
#include <cstdint>

using TPortTable = std::array<int32_t, 24>;

// The built-in port numbers both programs start with.
constexpr TPortTable DefaultPortTable() {
  return {0x20, 0x30, 0x12, 0x08, 0x03, 0x21, 0x31, 0x13, 0x09, 0x04, 0x22, 0x32,
          0x14, 0x10, 0x05, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x50, 0x51, 0x52};
}
