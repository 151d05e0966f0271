#include "base/kept_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "base/hidden_name.h"
#include "base/path_parts.h"
#include "base/replacing_file.h"

namespace {

// Room for the random end of the name within the longest name a file system takes.
constexpr size_t kMaxPathInName = 200;

bool IsOwnFolder(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

// The folder, made (with the folders up to it) for this user alone where missing; it
// must be a folder of this user's that he can write.
bool MakeOwnFolder(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    ::mkdir(path.substr(0, slash).c_str(), 0700);
  }
  ::mkdir(path.c_str(), 0700);
  return IsOwnFolder(path) && ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string Absolute(const std::string& path) {
  char folder[PATH_MAX];
  if (::realpath(FolderOf(path).c_str(), folder) == nullptr) return path;
  const std::string prefix = folder;
  return (prefix == "/" ? "" : prefix) + "/" + NameOf(path);
}

// The file's full path, "/" written "%", and the end of it where it is too long.
std::string CopyName(const std::string& path) {
  std::string name = Absolute(path);
  for (char& c : name) c = c == '/' ? '%' : c;
  if (name.size() > kMaxPathInName) name.erase(0, name.size() - kMaxPathInName);
  return name + "~" + RandomLetters(10);
}

}  // namespace

std::string KeptCopyFolder() {
  std::vector<std::string> places;
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') places.push_back(std::string(state) + "/talvo");
  const char* home = std::getenv("HOME");
  // Only the user's own home: root's save of a user's file would leave a folder there
  // the user could not write.
  if (home != nullptr && home[0] == '/' && IsOwnFolder(home)) places.push_back(std::string(home) + "/.local/state/talvo");
  places.push_back("/var/tmp/talvo-" + std::to_string(::geteuid()));
  for (const std::string& place : places) {
    if (MakeOwnFolder(place)) return place;
  }
  return {};
}

int KeepOldBytes(const std::string& path, std::string_view bytes, std::string& copy) {
  const std::string folder = KeptCopyFolder();
  if (folder.empty()) return EACCES;
  const std::string name = folder + "/" + CopyName(path);
  // Made for him alone, the folder keeps the old bytes from other users.
  int error = 0;
  if (!ReplaceFile(name, bytes, &error, true)) return error;
  copy = name;
  return 0;
}
