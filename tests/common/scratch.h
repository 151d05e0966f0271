#pragma once
// A fresh folder of its own for every test, and whole-file byte helpers. The folder
// is made by mkdtemp, so two runs of one suite on one machine never share it, and it
// is removed without throwing, so a test that fails leaves no second error behind.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "file_bytes.h"

class TScratchFolder {
 public:
  TScratchFolder() : TScratchFolder(std::filesystem::temp_directory_path()) {}
  // A folder made in `parent` instead of TMPDIR.
  explicit TScratchFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "talvo_test_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a scratch folder";
    Path = pattern;
  }
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  // The path of a file in the folder.
  std::string File(const std::string& name) const { return (Path / name).string(); }
  // Writes the file and gives its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = File(name);
    WriteBytes(path, bytes);
    return path;
  }

  std::filesystem::path Path;
};

// A fixture whose every test gets its own scratch folder.
class ScratchFolderTest : public ::testing::Test {
 protected:
  ScratchFolderTest() = default;
  // The folder made in `parent` instead of TMPDIR.
  explicit ScratchFolderTest(const std::filesystem::path& parent) : scratch_(parent) {}

  std::string PathOf(const std::string& name) const { return scratch_.File(name); }

  TScratchFolder scratch_;
  const std::filesystem::path& dir_ = scratch_.Path;
};
