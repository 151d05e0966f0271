#include "workbench/model/known_file.h"

#include <sys/stat.h>

#include <cerrno>

std::optional<TFileIdentity> IdentityOf(const std::string& path, int* error) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (error != nullptr) *error = errno;
    return std::nullopt;
  }
  return TFileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

void TKnownFile::Remember(const std::string& path) { known_ = IdentityOf(path); }

bool TKnownFile::ChangedOnDisk(const std::string& path) const {
  const std::optional<TFileIdentity> now = IdentityOf(path);
  return now && now != known_;
}
