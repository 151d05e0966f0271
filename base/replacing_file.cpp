#include "base/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/file_attributes.h"
#include "base/file_error.h"
#include "base/hidden_name.h"
#include "base/in_place_write.h"
#include "base/interrupt_cleanup.h"
#include "base/path_parts.h"
#include "base/unnamed_link.h"
#include "base/written_path.h"

namespace {

// What open(O_TMPFILE) gives on a file system without unnamed files.
bool LacksUnnamedFiles(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

bool FolderRefuses(int error) { return error == EACCES || error == EPERM; }

bool IsReadable(int fd) { return fd >= 0 && (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDWR; }

// A folder with the sticky bit lets only the owner of a file, the owner of the folder
// and root replace the file, however writable the file is.
bool FolderLetsReplace(int folder, const struct stat& file) {
  struct stat info {};
  if (::fstat(folder, &info) != 0 || (info.st_mode & S_ISVTX) == 0) return true;
  const uid_t user = ::geteuid();
  return user == 0 || user == file.st_uid || user == info.st_uid;
}

}  // namespace

TReplacingFile::TReplacingFile(const std::string& path, bool durable) : path_(WrittenPath(path)), durable_(durable) {
  name_ = NameOf(path_);
  if (name_.empty()) {  // no path, or one that ends in a slash: a folder's
    Fail(path_.empty() ? ENOENT : EISDIR);
    return;
  }
  folder_ = ::open(FolderOf(path_).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) {
    Fail(errno);
    return;
  }
  int target = -1;
  struct stat old {};
  const TFileFound found = LookAt(target, old);
  const TWayChosen way = ChooseWriteWay(found, [&] { return MakeNewFile(target, found.Exists ? &old : nullptr); });
  if (way.Way == TWriteWay::Refuse) Fail(way.Error);
  if (way.Way == TWriteWay::InPlace) {
    way_ = TWay::InPlace;
    fd_ = std::exchange(target, -1);
  }
  if (target >= 0) ::close(target);
  if (error_ == 0) Buffer.reserve(kChunk + 4096);
}

TReplacingFile::~TReplacingFile() {
  // Space reserved for a write that never came goes back.
  if (way_ == TWay::InPlace && fd_ >= 0) GiveBackSpace(fd_, reservedFrom_);
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);
  ForgetOnInterrupt(interruptSlot_);
  if (folder_ >= 0) ::close(folder_);
}

// The file as it stands, opened for writing as an in-place write would open it.
TFileFound TReplacingFile::LookAt(int& target, struct stat& old) {
  TFileFound found;
  if (::fstatat(folder_, name_.c_str(), &old, 0) != 0) {
    if (errno != ENOENT) found.Error = errno;
    return found;
  }
  found.Exists = true;
  if (!S_ISREG(old.st_mode)) {
    found.Error = S_ISDIR(old.st_mode) ? EISDIR : kNotARegularFile;
    return found;
  }
  found.SingleLink = old.st_nlink == 1;
  found.FolderLetsReplace = FolderLetsReplace(folder_, old);
  // Readable too where it may be, to keep the old bytes should it be written in place.
  constexpr int kFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  target = ::openat(folder_, name_.c_str(), O_RDWR | kFlags);
  if (target < 0 && errno == EACCES) target = ::openat(folder_, name_.c_str(), O_WRONLY | kFlags);
  if (target < 0) found.Error = errno;
  found.Readable = IsReadable(target);
  return found;
}

TNewFile TReplacingFile::MakeNewFile(int target, const struct stat* old) {
  if (const int error = OpenNewFile(); error != 0) return {error, FolderRefuses(error)};
  if (old == nullptr) return {};
  if (const int error = CarryAttributes(target, *old, fd_); error != 0) {
    DropNewFile();
    return {error, true};
  }
  replacing_ = true;
  return {};
}

int TReplacingFile::OpenNewFile() {
  if (MayNameUnnamedFiles()) {
    fd_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ < 0 && !LacksUnnamedFiles(errno)) return errno;
    if (fd_ >= 0 && CanNameUnnamedFiles(folder_)) {
      way_ = TWay::Unnamed;
      return 0;
    }
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  }
  way_ = TWay::Named;
  return CreateUnderFreshName(
      folder_,
      [this](const char* name) {
        fd_ = ::openat(folder_, name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        return fd_ >= 0 ? 0 : errno;
      },
      temporary_, interruptSlot_);
}

void TReplacingFile::DropNewFile() {
  ::close(std::exchange(fd_, -1));
  if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);
  temporary_.clear();
  ForgetOnInterrupt(std::exchange(interruptSlot_, -1));
}

void TReplacingFile::Fail(int error) {
  if (error_ == 0) error_ = error;
}

void TReplacingFile::Flush() {
  // In place, no byte of the file is touched before every new byte is known.
  if (error_ == 0 && way_ == TWay::InPlace) return;
  if (error_ == 0) {
    if (const int error = WriteAllAt(fd_, Buffer, written_); error != 0) Fail(error);
    written_ += static_cast<off_t>(Buffer.size());
  }
  Buffer.clear();
}

bool TReplacingFile::Finish() {
  if (finished_ || error_ != 0) return error_ == 0;
  finished_ = true;
  if (way_ == TWay::InPlace) {
    if (const int error = ReserveSpace(fd_, Buffer.size(), reservedFrom_); error != 0) Fail(error);
    return error_ == 0;
  }
  Flush();
  if (error_ == 0 && durable_ && ::fsync(fd_) != 0) Fail(errno);
  // A named file closes now, so that an error reported at closing fails the write; an
  // unnamed one stays open until it is linked in.
  if (way_ == TWay::Named) {
    if (::close(std::exchange(fd_, -1)) != 0) Fail(errno);
  }
  return error_ == 0;
}

bool TReplacingFile::Commit() {
  if (!Finish()) return false;
  switch (way_) {
    case TWay::Unnamed: LinkIn(); break;
    case TWay::Named: RenameIn(); break;
    case TWay::InPlace:
      if (const int error = OverwriteInPlace(fd_, Buffer, durable_, path_); error != 0) Fail(error);
      Buffer.clear();
      break;
  }
  return error_ == 0;
}

void TReplacingFile::LinkIn() {
  const auto link = [this](const char* name) { return NameUnnamedFile(fd_, folder_, name); };
  // Where no file was, the new one takes its name in one step.
  if (!replacing_) {
    const int error = link(name_.c_str());
    if (error == 0) {
      if (const int unsynced = SyncFolder(); unsynced != 0) {
        ::unlinkat(folder_, name_.c_str(), 0);
        Fail(unsynced);
      }
      return;
    }
    if (error != EEXIST) {
      Fail(error);
      return;
    }
  }
  // A link replaces no file: the complete file takes a fresh name of its own, and then
  // the old file's place. A SIGKILL in the few microseconds from here to the end of
  // RenameIn, which write no byte, is the one moment that leaves a hidden file behind.
  if (const int error = CreateUnderFreshName(folder_, link, temporary_, interruptSlot_); error != 0) {
    Fail(error);
    return;
  }
  RenameIn();
}

void TReplacingFile::RenameIn() {
  // Renamed over an old file, ext4 starts writing the new one out at once (auto_da_alloc),
  // which for the hundreds of megabytes of a large build costs more than writing them
  // did. Exchanged with the old file, the new one takes its place as atomically, and the
  // old one, under the temporary name now, goes once the exchange is on the disk; a
  // file system that cannot exchange renames.
  const char* temporary = temporary_.c_str();
  if (replacing_ && ::renameat2(folder_, temporary, folder_, name_.c_str(), RENAME_EXCHANGE) == 0) {
    if (const int unsynced = SyncFolder(); unsynced != 0) {
      Fail(unsynced);
      // The old file takes its place again; the new one goes with the temporary name.
      if (::renameat2(folder_, temporary, folder_, name_.c_str(), RENAME_EXCHANGE) == 0) return;
    }
    ::unlinkat(folder_, temporary, 0);
  } else if (::renameat(folder_, temporary, folder_, name_.c_str()) != 0) {
    Fail(errno);  // the destructor removes the temporary file
    return;
  } else if (const int unsynced = SyncFolder(); unsynced != 0) {
    Fail(unsynced);
  }
  temporary_.clear();
  ForgetOnInterrupt(std::exchange(interruptSlot_, -1));
}

// For a durable file, the folder's new entry to the disk: 0 or an errno value.
int TReplacingFile::SyncFolder() const {
  if (!durable_) return 0;
  // A folder this user may not read cannot be forced by him; the file itself was.
  const int folder = ::openat(folder_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return 0;
  int error = ::fsync(folder) == 0 ? 0 : errno;
  ::close(folder);
  // A file system that keeps no folders to force.
  if (error == EINVAL) error = 0;
  return error;
}

bool ReplaceFile(const std::string& path, std::string_view bytes, int* error, bool durable) {
  TReplacingFile file(path, durable);
  file.Write(bytes);
  const bool written = file.Commit();
  if (error != nullptr) *error = file.Error();
  return written;
}
