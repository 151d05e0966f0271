#pragma once
// A folder of its own for each fuzzing process: the parsers under test read files.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    const auto path = std::filesystem::temp_directory_path() /
                      ("talvo_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

inline std::string WriteScratch(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = (ScratchFolder() / name).string();
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                static_cast<std::streamsize>(size));
  return path;
}
