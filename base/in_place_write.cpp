#include "base/in_place_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

// The bytes from the start of the file, as many as `bytes` holds; fewer when the file
// shrank meanwhile.
int ReadAllAt(int fd, std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t read = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return errno;
    if (read == 0) break;
    done += static_cast<size_t>(read);
  }
  bytes.resize(done);
  return 0;
}

}  // namespace

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

int ReserveSpace(int fd, size_t size) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  const auto old = static_cast<size_t>(info.st_size);
  if (size <= old) return 0;
  // Allocated beyond the end, the new blocks change neither the size nor the bytes a
  // reader sees.
  if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(old), static_cast<off_t>(size - old)) == 0) return 0;
  // A file system that reserves nothing still has the kept bytes to fall back on.
  return errno == EOPNOTSUPP ? 0 : errno;
}

int OverwriteInPlace(int fd, std::string_view bytes, bool durable) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  const off_t oldSize = info.st_size;
  // All of them: a shorter file is cut, and a failure after the cut must not lose
  // its old end.
  std::string kept(static_cast<size_t>(oldSize), '\0');
  if (const int error = ReadAllAt(fd, kept); error != 0) return error;

  int error = WriteAllAt(fd, bytes, 0);
  if (error == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) error = errno;
  if (error == 0 && durable && ::fsync(fd) != 0) error = errno;
  if (error == 0) return 0;
  // Overwriting the same bytes again takes no new space.
  WriteAllAt(fd, kept, 0);
  ::ftruncate(fd, oldSize);
  if (durable) ::fsync(fd);
  return error;
}
