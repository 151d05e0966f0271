#include "base/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "base/file_error.h"

namespace {

void Report(int* error, int value) {
  if (error != nullptr) *error = value;
}

}  // namespace

TFilePtr OpenRegularFile(const std::string& path, int* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    Report(error, errno);
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    Report(error, S_ISDIR(info.st_mode) ? EISDIR : kNotARegularFile);
    ::close(fd);
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) {
    Report(error, errno);
    ::close(fd);
  }
  return TFilePtr(file);
}

bool ReadRegularFile(const std::string& path, std::string& bytes, int* error, uint64_t maxBytes) {
  TFilePtr file = OpenRegularFile(path, error);
  if (!file) return false;
  struct stat info {};
  if (::fstat(::fileno(file.get()), &info) != 0) {
    Report(error, errno);
    return false;
  }
  if (static_cast<uint64_t>(info.st_size) > maxBytes) {
    Report(error, EFBIG);
    return false;
  }
  try {
    std::string text(static_cast<size_t>(info.st_size), '\0');
    // A file that shrank while being read keeps what could be read.
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    if (std::ferror(file.get())) {
      Report(error, EIO);
      return false;
    }
    bytes = std::move(text);
  } catch (const std::bad_alloc&) {
    Report(error, ENOMEM);
    return false;
  }
  return true;
}
