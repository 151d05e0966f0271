#pragma once
// talvorun's report read back: how the run stopped, the registers it printed (those
// it leaves out are zero) and the memory it dumped.

#include <cstdint>
#include <map>
#include <string>

#include "machine/value128.h"

struct TTalvorunReport {
  bool Read = false;    // the report had its "stop" line and every line made sense
  bool Failed = false;  // "stop failed": a step failed
  std::map<std::string, Value128> Registers;
  std::map<uint64_t, uint8_t> Memory;

  // A register by the name talvorun prints ("R3", "SP"); zero when not printed.
  Value128 Register(const std::string& name) const;
  // The 16 bytes at the address as a little-endian value; false when not all dumped.
  bool MemoryValue(uint64_t address, Value128& out) const;
};

TTalvorunReport ReadTalvorunReport(const std::string& text);

inline const std::string kTalvorun = TALVO_BINARY_DIR "/tools/talvorun/talvorun";
