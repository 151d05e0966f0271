#pragma once
// While it lives, the kit keeps the old bytes of files it writes in place (the copies
// of base/kept_copy.h) under the given folder, not in the user's home.

#include <stdlib.h>

#include <optional>
#include <string>

class TStateHome {
 public:
  explicit TStateHome(const std::string& path) {
    if (const char* old = ::getenv(kName)) old_ = old;
    ::setenv(kName, path.c_str(), 1);
  }
  ~TStateHome() { old_ ? ::setenv(kName, old_->c_str(), 1) : ::unsetenv(kName); }
  TStateHome(const TStateHome&) = delete;
  TStateHome& operator=(const TStateHome&) = delete;

 private:
  static constexpr const char* kName = "XDG_STATE_HOME";
  std::optional<std::string> old_;
};
