#pragma once
// Acting as another user for the tests of file permissions, which root passes whatever
// the permissions say: while the guard lives, the whole process's effective user and
// group are nobody's (65534) and it belongs to no other group. Needs real root (the
// root of a user namespace has no other user to become); Active is false elsewhere,
// and a test skips where CanActAsTheOtherUser says no.

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

#include <optional>
#include <vector>

#include "child_process.h"
#include "scratch.h"
#include "state_home.h"

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
    state_.emplace("/tmp");
    if (::chown(state_->Path.c_str(), kUser, kGroup) != 0) return;
    stateHome_.emplace(state_->Path.string());
    Active = ::setgroups(0, nullptr) == 0 && ::setegid(kGroup) == 0 && ::seteuid(kUser) == 0;
  }
  // Root again before the state folder goes.
  ~TOtherUser() {
    if (::geteuid() != 0 && ::seteuid(0) != 0) return;
    if (::setegid(group_) == 0) ::setgroups(groups_.size(), groups_.data());
  }
  TOtherUser(const TOtherUser&) = delete;
  TOtherUser& operator=(const TOtherUser&) = delete;

  bool Active = false;

 private:
  std::vector<gid_t> groups_;
  gid_t group_ = 0;
  std::optional<TScratchFolder> state_;
  std::optional<TStateHome> stateHome_;
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
  return CanActAsTheOtherUser() && !TheOtherUserReaches(temporary) ? "/tmp" : temporary;
}
