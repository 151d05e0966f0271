#pragma once
// Runs part of a test in another current folder, and goes back at its end.

#include <filesystem>
#include <system_error>

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
