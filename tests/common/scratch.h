#pragma once
// A fresh folder of its own for every test, whole-file byte helpers, and a stay in
// another current folder. The folder is made by mkdtemp, so two runs of one suite on
// one machine never share it, and it is removed without throwing, so a test that
// fails leaves no second error behind.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

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
  // Writes the files, and the folders they lie in; bytes "->TARGET" make a link.
  void Write(const std::vector<std::pair<std::string, std::string>>& files) const {
    for (const auto& [name, bytes] : files) {
      std::filesystem::create_directories((Path / name).parent_path());
      if (bytes.rfind("->", 0) == 0) {
        std::filesystem::create_symlink(bytes.substr(2), Path / name);
      } else {
        Write(name, bytes);
      }
    }
  }

  std::filesystem::path Path;
};

// Every file under the folder by its relative name, with its bytes.
inline std::map<std::string, std::string> FilesUnder(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    files[entry.path().lexically_relative(folder)] = entry.is_regular_file() ? ReadBytes(entry.path()) : "(not a file)";
  return files;
}

// Runs part of a test in another current folder, and goes back at its end.
class TCurrentFolder {
 public:
  explicit TCurrentFolder(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~TCurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  TCurrentFolder(const TCurrentFolder&) = delete;
  TCurrentFolder& operator=(const TCurrentFolder&) = delete;

 private:
  std::filesystem::path previous_;
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
