#pragma once
// Opening the files a user names for reading. A FIFO, device or folder would block
// or misbehave in a plain fopen, so the type is checked on a descriptor opened
// without blocking before anything is read.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

// The regular file opened for binary reading, or null with the reason in `error`
// (an errno value or kNotARegularFile).
TFilePtr OpenRegularFile(const std::string& path, int* error = nullptr);

// The whole regular file. False with the reason in `error`; a file above `maxBytes`
// gives EFBIG and reads nothing.
bool ReadRegularFile(const std::string& path, std::string& bytes, int* error = nullptr,
                     uint64_t maxBytes = UINT64_MAX);
