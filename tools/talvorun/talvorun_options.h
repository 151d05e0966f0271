#pragma once
// talvorun's command line, read without touching any file.

#include <cstdint>
#include <string>
#include <vector>

struct TMemoryDump {
  uint64_t Address = 0;
  uint64_t Length = 0;
};

struct TTalvorunOptions {
  uint64_t Steps = 100000000;
  uint64_t MemMb = 4;
  uint64_t MemBytes() const { return MemMb * 1024 * 1024; }
  std::string Floppy, Disk, Image;
  std::vector<TMemoryDump> Dumps;
};

extern const char* const kTalvorunUsage;

// The arguments after the program name. Empty on success, else why the command line
// is refused (options then holds what was read before).
std::string ParseTalvorunOptions(const std::vector<std::string>& args, TTalvorunOptions& out);
