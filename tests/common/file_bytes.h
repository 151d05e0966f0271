#pragma once
// Whole-file byte helpers for the tests and the fuzz harnesses, which check files
// byte for byte.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
