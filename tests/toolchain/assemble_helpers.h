#pragma once
// Writes sources into a fresh folder per test and runs pass 1 on them.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "toolchain/asm_file.h"

class SourceFolder {
 public:
  SourceFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    Path = std::filesystem::temp_directory_path() /
           ("tca_" + std::string(test->test_suite_name()) + "_" + test->name());
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
  }
  ~SourceFolder() { std::filesystem::remove_all(Path); }

  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string file = (Path / name).string();
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }

  std::filesystem::path Path;
};

// Loads the text and runs pass 1 only, giving its result.
inline int32_t RunPass1(TAsmFile& file, const SourceFolder& folder, const std::string& text) {
  if (file.LoadFile(folder.Write("src.casm", text)) != 0) return 1000;
  file.LineNo = 0;
  return file.AssembleLines();
}

inline std::vector<uint32_t> Words(const TAsmFile& file) {
  std::vector<uint32_t> words;
  for (int32_t i = 0; i < file.Code.Count; ++i) words.push_back(file.Code.Item(i)->Value);
  return words;
}
