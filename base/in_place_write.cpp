#include "base/in_place_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "base/file_write.h"
#include "base/interrupt_cleanup.h"
#include "base/kept_copy.h"

namespace {

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

TWriteFailure OverwriteInPlace(int fd, std::string_view bytes, bool durable, const std::string& path) {
  // From the first byte overwritten until the file is whole again, old or new.
  const TUnbrokenStep step;
  if (!step.Allowed()) return UnchangedFailure(EINTR);
  // All of them: a shorter file is cut, and a failure after the cut must not lose
  // its old end.
  std::string kept;
  if (const int error = ReadAll(fd, kept); error != 0) return UnchangedFailure(error);
  TKeptCopy copy;
  if (durable && copy.Keep(path, kept) != 0) return UnchangedFailure(kNoKeptCopy);
  bool whole = true;
  const int error = WriteOrPutBack(fd, bytes, kept, durable, whole);
  // Only once the file is whole on the disk again is the copy no longer needed.
  if (!whole) return {error, true, copy.Path()};
  copy.Drop();
  return UnchangedFailure(error);
}
