#include "base/kept_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "base/file_error.h"
#include "base/file_write.h"
#include "base/hidden_name.h"
#include "base/path_parts.h"

namespace {

// Room for the random end of the name within the longest name a file system takes.
constexpr size_t kMaxPathInName = 200;
constexpr size_t kRandomEnd = 10;
constexpr int kNameAttempts = 100;
constexpr const char kBesideEnd[] = "-XXXXXX";

struct TPlace {
  std::string Path;
  // A folder with a fresh name beside Path, for when another user took that name.
  bool Beside = false;
};

// The nearest folder at or above `path` that exists is the user's: what he makes
// below it stays his. Root's save of a user's file must not leave folders in the
// user's home that the user cannot remove.
bool LiesInOwnFolder(std::string path) {
  struct stat info {};
  while (::stat(path.c_str(), &info) != 0) {
    if (errno != ENOENT || path == "/") return false;
    path = FolderOf(path);
  }
  return info.st_uid == ::geteuid();
}

std::vector<TPlace> Places() {
  std::vector<TPlace> places;
  const auto addOwn = [&](const char* base, const char* below) {
    if (base == nullptr || base[0] != '/') return;
    std::string path = std::string(base) + below;
    if (LiesInOwnFolder(path)) places.push_back({std::move(path)});
  };
  addOwn(std::getenv("XDG_STATE_HOME"), "/talvo");
  addOwn(std::getenv("HOME"), "/.local/state/talvo");
  std::string shared = "/var/tmp/talvo-" + std::to_string(::geteuid());
  places.push_back({shared});
  places.push_back({std::move(shared), true});
  return places;
}

// The folder open as `fd` is this user's, open to him and closed to everyone else.
bool IsPrivateFolder(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
         (info.st_mode & 0777) == 0700;
}

// Opened where it is a private folder, else -1. Never through a link: whoever may
// change the link controls the place.
int OpenPrivateFolder(int at, const std::string& path) {
  const int fd = ::openat(at, path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0 && IsPrivateFolder(fd)) return fd;
  if (fd >= 0) ::close(fd);
  return -1;
}

// A private folder of this user's named `prefix` and six more letters in the folder at
// `parent`, made where `make` and none is there yet.
int OpenBeside(const std::string& parent, const std::string& prefix, bool make, std::string& where) {
  DIR* folder = ::opendir(parent.c_str());
  if (folder == nullptr) return -1;
  int found = -1;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    found = OpenPrivateFolder(::dirfd(folder), name);
    if (found >= 0) {
      where = parent + "/" + name;
      break;
    }
  }
  ::closedir(folder);
  if (found >= 0 || !make) return found;
  std::string fresh = parent + "/" + prefix + "XXXXXX";
  if (::mkdtemp(fresh.data()) == nullptr) return -1;
  where = fresh;
  return OpenPrivateFolder(AT_FDCWD, fresh);
}

// The place's folder, made first (each missing folder for this user alone) where
// `make`: open with its path, or -1 where it is not there or not his alone.
int OpenPlace(const TPlace& place, bool make, std::string& where) {
  if (!place.Beside) {
    if (make) {
      for (size_t slash = place.Path.find('/', 1); slash != std::string::npos; slash = place.Path.find('/', slash + 1))
        ::mkdir(place.Path.substr(0, slash).c_str(), 0700);
      ::mkdir(place.Path.c_str(), 0700);
    }
    where = place.Path;
    return OpenPrivateFolder(AT_FDCWD, place.Path);
  }
  // Only where the name is taken by what is not his alone.
  struct stat info {};
  if (::lstat(place.Path.c_str(), &info) != 0) return -1;
  if (const int own = OpenPrivateFolder(AT_FDCWD, place.Path); own >= 0) {
    ::close(own);
    return -1;
  }
  return OpenBeside(FolderOf(place.Path), NameOf(place.Path) + "-", make, where);
}

std::string Absolute(const std::string& path) {
  char folder[PATH_MAX];
  if (::realpath(FolderOf(path).c_str(), folder) == nullptr) return path;
  const std::string prefix = folder;
  return (prefix == "/" ? "" : prefix) + "/" + NameOf(path);
}

// The file's full path, "/" written "%". Where that is too long, its end after a
// digest of the whole, so that two long paths with one end keep their copies apart.
std::string CopyNameOf(const std::string& path) {
  std::string name = Absolute(path);
  for (char& c : name) c = c == '/' ? '%' : c;
  if (name.size() <= kMaxPathInName) return name;
  uint64_t digest = 14695981039346656037u;
  for (const char c : name) digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211u;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
  return hex + name.substr(name.size() - (kMaxPathInName - 16));
}

}  // namespace

TKeptCopy::~TKeptCopy() {
  if (fd_ >= 0) ::close(fd_);
  if (folder_ >= 0) ::close(folder_);
}

int TKeptCopy::Keep(const std::string& path, std::string_view bytes) {
  const std::string name = CopyNameOf(path);
  for (const TPlace& place : Places()) {
    std::string where;
    const int folder = OpenPlace(place, true, where);
    if (folder < 0) continue;
    for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
      name_ = name + "~" + RandomLetters(kRandomEnd);
      fd_ = ::openat(folder, name_.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0 && WriteAllAt(fd_, bytes, 0) == 0 && ::fsync(fd_) == 0 &&
        SyncFolder(folder) == 0) {
      folder_ = folder;
      path_ = where + "/" + name_;
      return 0;
    }
    if (fd_ >= 0) ::unlinkat(folder, name_.c_str(), 0);
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    ::close(folder);
  }
  return kNoKeptCopy;
}

void TKeptCopy::Drop() {
  if (fd_ < 0) return;
  ::unlinkat(folder_, name_.c_str(), 0);
  ::close(std::exchange(fd_, -1));
  path_.clear();
}

void RemoveOlderCopies(const std::string& path) {
  int folder = -1;
  for (const TPlace& place : Places()) {
    std::string where;
    folder = OpenPlace(place, false, where);
    if (folder >= 0) break;
  }
  if (folder < 0) return;
  DIR* copies = ::fdopendir(folder);
  if (copies == nullptr) {
    ::close(folder);
    return;
  }
  const std::string prefix = CopyNameOf(path) + "~";
  while (const dirent* entry = ::readdir(copies)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + kRandomEnd || name.compare(0, prefix.size(), prefix) != 0) continue;
    const int copy = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (copy < 0) continue;
    // Still locked, it belongs to a save of the file that is running now.
    if (::flock(copy, LOCK_EX | LOCK_NB) == 0) ::unlinkat(folder, name.c_str(), 0);
    ::close(copy);
  }
  ::closedir(copies);
}

std::vector<std::string> KeptCopyPlaces() {
  std::vector<std::string> places;
  for (const TPlace& place : Places()) places.push_back(place.Beside ? place.Path + kBesideEnd : place.Path);
  return places;
}
