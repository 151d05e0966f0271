#include "base/in_place_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "base/file_error.h"
#include "base/interrupt_cleanup.h"
#include "base/kept_copy.h"

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

// Writes the new bytes; on failure puts the kept ones back. 0, or the error with
// `whole` telling whether the old bytes are back.
int WriteOrPutBack(int fd, std::string_view bytes, const std::string& kept, bool durable, bool& whole) {
  int error = WriteAllAt(fd, bytes, 0);
  if (error == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) error = errno;
  if (error == 0 && durable && ::fsync(fd) != 0) error = errno;
  if (error == 0) return 0;
  // Overwriting the same bytes again takes no new space; cut to the old size, the file
  // gives back what was reserved beyond it.
  whole = WriteAllAt(fd, kept, 0) == 0 && ::ftruncate(fd, static_cast<off_t>(kept.size())) == 0 &&
          (!durable || ::fsync(fd) == 0);
  return error;
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

int ReserveSpace(int fd, size_t size, off_t& reservedFrom) {
  reservedFrom = -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  const auto old = static_cast<size_t>(info.st_size);
  if (size <= old) return 0;
  // Allocated beyond the end, the new blocks change neither the size nor the bytes a
  // reader sees.
  if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, info.st_size, static_cast<off_t>(size - old)) == 0) {
    reservedFrom = info.st_size;
    return 0;
  }
  const int error = errno;
  // A file system that reserves nothing still has the kept bytes to fall back on.
  if (error == EOPNOTSUPP) return 0;
  // A reservation that failed halfway may hold what it got.
  GiveBackSpace(fd, info.st_size);
  return error;
}

void GiveBackSpace(int fd, off_t reservedFrom) {
  struct stat info {};
  // Cut to the size it has, a file lets go of the blocks beyond its end.
  if (reservedFrom >= 0 && ::fstat(fd, &info) == 0 && info.st_size == reservedFrom) ::ftruncate(fd, reservedFrom);
}

int OverwriteInPlace(int fd, std::string_view bytes, bool durable, const std::string& path) {
  // From the first byte overwritten until the file is whole again, old or new.
  const TUnbrokenStep step;
  if (!step.Allowed()) return EINTR;
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  // All of them: a shorter file is cut, and a failure after the cut must not lose
  // its old end.
  std::string kept(static_cast<size_t>(info.st_size), '\0');
  if (const int error = ReadAllAt(fd, kept); error != 0) return error;
  std::string copy;
  if (durable && KeepOldBytes(path, kept, copy) != 0) return kNoKeptCopy;
  bool whole = true;
  const int error = WriteOrPutBack(fd, bytes, kept, durable, whole);
  // Only once the file is whole on the disk again is the copy no longer needed.
  if (whole && !copy.empty()) ::unlink(copy.c_str());
  return error;
}
