#pragma once
// A folder of its own for each fuzzing or replaying process, made by mkdtemp and
// removed when the process ends: the parsers under test read and write files.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "fuzz_check.h"
#include "tests/common/file_bytes.h"

class TFuzzScratch {
 public:
  // A folder that cannot be made (a TMPDIR that does not exist or takes no folder) ends
  // the process with the reason: no input has run, so there is nothing to crash on.
  TFuzzScratch() {
    std::error_code error;
    const std::filesystem::path parent = std::filesystem::temp_directory_path(error);
    if (error) {
      const char* tmpdir = std::getenv("TMPDIR");
      CannotMake(tmpdir != nullptr ? tmpdir : "the temporary folder", error.message());
    }
    std::string pattern = (parent / "talvo_fuzz_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) CannotMake(parent.string(), std::strerror(errno));
    Path = pattern;
  }
  ~TFuzzScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  std::filesystem::path Path;

 private:
  [[noreturn]] static void CannotMake(const std::string& in, const std::string& reason) {
    std::fprintf(stderr, "harness: cannot make a scratch folder in %s: %s\n", in.c_str(), reason.c_str());
    std::exit(EXIT_FAILURE);
  }
};

inline const std::filesystem::path& ScratchFolder() {
  static const TFuzzScratch scratch;
  return scratch.Path;
}

inline std::string WriteScratch(const std::string& name, std::string_view bytes) {
  const std::string path = (ScratchFolder() / name).string();
  WriteBytes(path, bytes);
  return path;
}

inline std::string WriteScratch(const std::string& name, const uint8_t* data, size_t size) {
  return WriteScratch(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

inline std::string ReadScratch(const std::string& name) { return ReadBytes(ScratchFolder() / name); }

// A folder "folder" and a FIFO "fifo" in the scratch folder, made once, for file names
// that a reader must refuse rather than read or wait on.
inline void MakeFolderAndFifo() {
  static const bool made = [] {
    std::filesystem::create_directory(ScratchFolder() / "folder");
    return ::mkfifo((ScratchFolder() / "fifo").c_str(), 0600) == 0;
  }();
  Check(made, "harness: the FIFO is made");
}

// The folder is the current folder while this lives, for code that names files
// relative to it; libFuzzer reads its corpus by names relative to the folder it
// started in, so every input goes back there.
class TInFolder {
 public:
  explicit TInFolder(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
    if (::chdir(folder.c_str()) != 0) std::abort();
  }
  ~TInFolder() {
    if (::chdir(previous_.c_str()) != 0) std::abort();
  }
  TInFolder(const TInFolder&) = delete;
  TInFolder& operator=(const TInFolder&) = delete;

 private:
  std::filesystem::path previous_;
};
