#include "base/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "base/file_error.h"

namespace {

// A symbolic link is replaced at its target, not turned into a plain file.
std::string ResolvedTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<int>(mask);
}

}  // namespace

TReplacingFile::TReplacingFile(const std::string& path, bool durable)
    : path_(ResolvedTarget(path)), durable_(durable) {
  struct stat info {};
  if (::stat(path_.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) {
      Fail(S_ISDIR(info.st_mode) ? EISDIR : kNotARegularFile);
      return;
    }
    mode_ = static_cast<int>(info.st_mode & 07777);
  } else {
    mode_ = 0666 & ~CurrentUmask();
  }
  // Hidden, and unique so that two builds in one folder never share it.
  std::string pattern = FolderOf(path_) + "/." + NameOf(path_) + ".XXXXXX";
  fd_ = ::mkstemp(pattern.data());
  if (fd_ < 0) {
    Fail(errno);
    return;
  }
  temporary_ = pattern;
  Buffer.reserve(kChunk + 4096);
}

TReplacingFile::~TReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void TReplacingFile::Fail(int error) {
  if (error_ == 0) error_ = error;
}

void TReplacingFile::Flush() {
  const char* data = Buffer.data();
  size_t left = Buffer.size();
  while (left > 0 && error_ == 0) {
    const ssize_t written = ::write(fd_, data, left);
    if (written < 0) {
      if (errno != EINTR) Fail(errno);
      continue;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  Buffer.clear();
}

bool TReplacingFile::Finish() {
  if (fd_ < 0) return error_ == 0;
  if (error_ == 0) Flush();
  if (error_ == 0 && ::fchmod(fd_, static_cast<mode_t>(mode_)) != 0) Fail(errno);
  if (error_ == 0 && durable_ && ::fsync(fd_) != 0) Fail(errno);
  if (::close(fd_) != 0) Fail(errno);
  fd_ = -1;
  return error_ == 0;
}

bool TReplacingFile::Commit() {
  Finish();
  if (error_ == 0) Replace();
  if (error_ != 0) return false;
  temporary_.clear();
  return true;
}

void TReplacingFile::Replace() {
  // Renamed over an old file, ext4 writes the new one out at once, which for the
  // hundreds of megabytes a build writes costs far more than writing them did. A file
  // that can be made again moves the old one aside instead, takes its place and only
  // then removes it; should taking its place fail, the old file goes back.
  std::string aside;
  if (!durable_ && ::access(path_.c_str(), F_OK) == 0) {
    aside = temporary_ + ".old";
    if (::rename(path_.c_str(), aside.c_str()) != 0) aside.clear();
  }
  if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
    Fail(errno);
    if (!aside.empty()) ::rename(aside.c_str(), path_.c_str());
    return;
  }
  if (!aside.empty()) ::unlink(aside.c_str());
}

bool ReplaceFile(const std::string& path, std::string_view bytes, int* error, bool durable) {
  TReplacingFile file(path, durable);
  file.Write(bytes);
  const bool written = file.Commit();
  if (error != nullptr) *error = file.Error();
  return written;
}
