#pragma once
// A scratch folder per test and whole-file byte helpers.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TScratchDir {
 public:
  TScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Path = std::filesystem::temp_directory_path() /
           (std::string("wb_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
  }
  ~TScratchDir() { std::filesystem::remove_all(Path); }
  std::string File(const std::string& name) const { return (Path / name).string(); }
  std::filesystem::path Path;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// Two sources that assemble and link: the first jumps to a label of the second.
inline void WriteGoodSources(const TScratchDir& dir) {
  WriteBytes(dir.File("a.casm"), "LD R8 OFFSET sub\r\nJMP R0 R8\r\nback:\r\nLD R1 1\r\n");
  WriteBytes(dir.File("b.casm"), "sub:\r\nLD R2 2\r\nLD R8 OFFSET back\r\nJMP R0 R8\r\n");
}
