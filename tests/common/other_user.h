#pragma once
// Acting as another user for the tests of file permissions, which root passes whatever
// the permissions say: while the guard lives, the whole process's effective user and
// group are nobody's (65534) and it belongs to no other group. Needs root; Active is
// false elsewhere, and the test skips.

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

#include <vector>

class TOtherUser {
 public:
  static constexpr uid_t kUser = 65534;
  static constexpr gid_t kGroup = 65534;

  TOtherUser() {
    if (::geteuid() != 0) return;
    groups_.resize(static_cast<size_t>(::getgroups(0, nullptr)));
    if (::getgroups(static_cast<int>(groups_.size()), groups_.data()) < 0) return;
    group_ = ::getegid();
    Active = ::setgroups(0, nullptr) == 0 && ::setegid(kGroup) == 0 && ::seteuid(kUser) == 0;
  }
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
};
