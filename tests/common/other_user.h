#pragma once
// Acting as another user for the tests of file permissions, which root passes whatever
// the permissions say: while the guard lives, the whole process's effective user and
// group are nobody's (65534) and it belongs to no other group. Needs real root (the
// root of a user namespace has no other user to become); Active is false elsewhere,
// and a test skips where CanActAsTheOtherUser says no.

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"

class TOtherUser {
 public:
  static constexpr uid_t kUser = 65534;
  static constexpr gid_t kGroup = 65534;

  TOtherUser() {
    if (::geteuid() != 0) return;
    groups_.resize(static_cast<size_t>(::getgroups(0, nullptr)));
    if (::getgroups(static_cast<int>(groups_.size()), groups_.data()) < 0) return;
    group_ = ::getegid();
    // The copies the kit keeps of files he writes in place go to a folder of his that
    // goes with the guard, not to one of his that would outlive the test.
    std::string state = "/tmp/talvo_state_XXXXXX";
    if (::mkdtemp(state.data()) == nullptr || ::chown(state.c_str(), kUser, kGroup) != 0) return;
    state_ = state;
    if (const char* old = ::getenv(kStateHome)) oldStateHome_ = old;
    ::setenv(kStateHome, state_.c_str(), 1);
    Active = ::setgroups(0, nullptr) == 0 && ::setegid(kGroup) == 0 && ::seteuid(kUser) == 0;
  }
  ~TOtherUser() {
    if (::geteuid() != 0 && ::seteuid(0) != 0) return;
    if (::setegid(group_) == 0) ::setgroups(groups_.size(), groups_.data());
    if (state_.empty()) return;
    if (oldStateHome_) {
      ::setenv(kStateHome, oldStateHome_->c_str(), 1);
    } else {
      ::unsetenv(kStateHome);
    }
    std::error_code ignored;
    std::filesystem::remove_all(state_, ignored);
  }
  TOtherUser(const TOtherUser&) = delete;
  TOtherUser& operator=(const TOtherUser&) = delete;

  bool Active = false;

 private:
  static constexpr const char* kStateHome = "XDG_STATE_HOME";
  std::vector<gid_t> groups_;
  gid_t group_ = 0;
  std::string state_;
  std::optional<std::string> oldStateHome_;
};

// Whether the other user may pass through every folder of the path and the folder
// itself, tried as that user in a child process, so that ACLs count as well.
inline bool TheOtherUserReaches(const std::filesystem::path& folder) {
  return ExitOfChild([&folder] {
    const bool reaches = ::setgroups(0, nullptr) == 0 && ::setgid(TOtherUser::kGroup) == 0 &&
                         ::setuid(TOtherUser::kUser) == 0 && ::access(folder.c_str(), X_OK) == 0;
    return reaches ? 0 : 1;
  }) == 0;
}

// Whether this process can become the other user: root, and not the root of a user
// namespace (tests/user_namespace.sh), whose map holds no other user.
inline bool CanActAsTheOtherUser() { return ::geteuid() == 0 && TheOtherUserReaches("/"); }

// Where a test that acts as the other user makes its scratch folder: TMPDIR, unless
// the other user cannot pass through it (a per-user TMPDIR of mode 0700), then /tmp.
// The test opens its own folder to others and checks that it is reached.
inline std::filesystem::path PlaceTheOtherUserReaches() {
  const std::filesystem::path temporary = std::filesystem::temp_directory_path();
  if (::geteuid() != 0 || TheOtherUserReaches(temporary) || !CanActAsTheOtherUser()) return temporary;
  return "/tmp";
}
