#include "base/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int WriteAllAt(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    bytes.remove_prefix(static_cast<size_t>(written));
    offset += written;
  }
  return 0;
}

int ReadAll(int fd, std::string& bytes) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  bytes.assign(static_cast<size_t>(info.st_size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t read = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return errno;
    if (read == 0) break;  // shrank meanwhile
    done += static_cast<size_t>(read);
  }
  bytes.resize(done);
  return 0;
}

int SyncFolder(int folder) {
  const int readable = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (readable < 0) return 0;
  int error = ::fsync(readable) == 0 ? 0 : errno;
  ::close(readable);
  if (error == EINVAL) error = 0;
  return error;
}

void GiveBackSpace(int fd, off_t size) {
  struct stat info {};
  if (size >= 0 && ::fstat(fd, &info) == 0 && info.st_size == size) ::ftruncate(fd, size);
}
