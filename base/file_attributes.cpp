#include "base/file_attributes.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A file's privileges come from its bytes' owner, not from whoever rebuilt them: as a
// write in place loses them, so does a new file.
bool IsPrivilege(const std::string& name) { return name == "security.capability"; }

// The names of the file's extended attributes; a file system without them has none.
int AttributeNames(int fd, std::vector<std::string>& names) {
  std::string list;
  for (;;) {
    const ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size < 0) return errno == ENOTSUP ? 0 : errno;
    list.resize(static_cast<size_t>(size));
    const ssize_t got = ::flistxattr(fd, list.data(), list.size());
    if (got >= 0) {
      list.resize(static_cast<size_t>(got));
      break;
    }
    if (errno != ERANGE) return errno;  // grew meanwhile: ask again
  }
  for (size_t at = 0; at < list.size(); at += std::strlen(list.c_str() + at) + 1) {
    std::string name(list.c_str() + at);
    if (!IsPrivilege(name)) names.push_back(std::move(name));
  }
  return 0;
}

int AttributeValue(int fd, const std::string& name, std::string& value) {
  for (;;) {
    const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0) return errno;
    value.resize(static_cast<size_t>(size));
    const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<size_t>(got));
      return 0;
    }
    if (errno != ERANGE) return errno;
  }
}

// The new file's attributes become the old one's: what the folder gave it (a default
// ACL's access entries) and the old one lacks goes.
int CopyAttributes(int from, int to) {
  std::vector<std::string> wanted;
  std::vector<std::string> present;
  if (const int error = AttributeNames(from, wanted); error != 0) return error;
  if (const int error = AttributeNames(to, present); error != 0) return error;
  for (const std::string& name : present) {
    bool keep = false;
    for (const std::string& other : wanted) keep = keep || other == name;
    if (!keep && ::fremovexattr(to, name.c_str()) != 0) return errno;
  }
  std::string value;
  for (const std::string& name : wanted) {
    if (const int error = AttributeValue(from, name, value); error != 0) return error;
    if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) return errno;
  }
  return 0;
}

}  // namespace

int CarryAttributes(int from, const struct stat& old, int to) {
  struct stat mine {};
  if (::fstat(to, &mine) != 0) return errno;
  if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) && ::fchown(to, old.st_uid, old.st_gid) != 0)
    return errno;
  if (const int error = CopyAttributes(from, to); error != 0) return error;
  // The mode last: the set-id bits land only on a file that has the old one's owner
  // already (a change of owner clears them), and an ACL's mask stays as the old one's.
  return ::fchmod(to, old.st_mode & 07777) == 0 ? 0 : errno;
}
