#include "base/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/file_attributes.h"
#include "base/file_write.h"
#include "base/hidden_name.h"
#include "base/in_place_write.h"
#include "base/interrupt_cleanup.h"
#include "base/kept_copy.h"
#include "base/path_parts.h"
#include "base/unnamed_link.h"
#include "base/written_path.h"

namespace {

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
  const TWayChosen way = ChooseWriteWay(
      found, [&](bool unnamed) { return MakeNewFile(unnamed, target, found.Exists ? &old : nullptr); });
  way_ = way.Way;
  if (way_ == TWriteWay::Refuse) Fail(way.Error);
  if (way_ == TWriteWay::InPlace) fd_ = std::exchange(target, -1);
  // Should the new name not reach the disk, the old bytes are kept from here.
  if (durable_ && replacing_) old_ = std::exchange(target, -1);
  if (target >= 0) ::close(target);
  if (failure_.Error == 0) Buffer.reserve(kChunk + 4096);
}

TReplacingFile::~TReplacingFile() {
  // Space reserved for a write that never came goes back.
  if (way_ == TWriteWay::InPlace && fd_ >= 0) GiveBackSpace(fd_, reservedFrom_);
  ForgetOnInterrupt(reservedSlot_);
  if (fd_ >= 0) ::close(fd_);
  if (old_ >= 0) ::close(old_);
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

TNewFile TReplacingFile::MakeNewFile(bool unnamed, int target, const struct stat* old) {
  if (const int error = unnamed ? OpenUnnamed() : OpenNamed(); error != 0) return {error};
  if (old == nullptr) return {};
  if (const int error = CarryAttributes(target, *old, fd_); error != 0) {
    DropNewFile();
    return {error, true};
  }
  replacing_ = true;
  return {};
}

int TReplacingFile::OpenUnnamed() {
  if (!MayNameUnnamedFiles()) return EOPNOTSUPP;
  fd_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd_ < 0) return errno;
  if (CanNameUnnamedFiles(folder_)) return 0;
  ::close(std::exchange(fd_, -1));
  return EOPNOTSUPP;
}

int TReplacingFile::OpenNamed() {
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
  if (failure_.Error == 0) failure_.Error = error;
}

void TReplacingFile::Flush() {
  // In place, no byte of the file is touched before every new byte is known.
  if (failure_.Error == 0 && way_ == TWriteWay::InPlace) return;
  if (failure_.Error == 0) {
    if (const int error = WriteAllAt(fd_, Buffer, written_); error != 0) Fail(error);
    written_ += static_cast<off_t>(Buffer.size());
  }
  Buffer.clear();
}

bool TReplacingFile::Finish() {
  if (finished_ || failure_.Error != 0) return failure_.Error == 0;
  finished_ = true;
  if (way_ == TWriteWay::InPlace) {
    if (const int error = ReserveSpace(fd_, Buffer.size(), reservedFrom_); error != 0) Fail(error);
    // Interrupted before the write, the file gives the space back as a failed write does.
    if (reservedFrom_ >= 0) reservedSlot_ = GiveBackOnInterrupt(fd_, reservedFrom_);
    return failure_.Error == 0;
  }
  Flush();
  if (failure_.Error == 0 && durable_ && ::fsync(fd_) != 0) Fail(errno);
  // A named file closes now, so that an error reported at closing fails the write; an
  // unnamed one stays open until it is linked in.
  if (way_ == TWriteWay::Named) {
    if (::close(std::exchange(fd_, -1)) != 0) Fail(errno);
  }
  return failure_.Error == 0;
}

bool TReplacingFile::Commit() {
  if (!Finish()) return false;
  if (way_ == TWriteWay::Unnamed) {
    LinkIn();
  } else if (way_ == TWriteWay::Named) {
    RenameIn();
  } else {
    failure_ = OverwriteInPlace(fd_, Buffer, durable_, path_);
    Buffer.clear();
  }
  if (failure_.Error == 0 && durable_) RemoveOlderCopies(path_);
  return failure_.Error == 0;
}

void TReplacingFile::LinkIn() {
  const auto link = [this](const char* name) { return NameUnnamedFile(fd_, folder_, name); };
  // Where no file was, the new one takes its name in one step.
  if (!replacing_) {
    const int error = link(name_.c_str());
    if (error == 0) {
      SyncNewName();
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
  // did. Exchanged with the old file, a build output takes its place as atomically, and
  // the old one goes under the temporary name; a file system that cannot exchange
  // renames. A file the user typed is renamed over the old one: exchanged, its old text
  // would wait under the hidden name until the folder reached the disk, and a kill
  // meanwhile would leave it there.
  const char* temporary = temporary_.c_str();
  if (!durable_ && replacing_ && ::renameat2(folder_, temporary, folder_, name_.c_str(), RENAME_EXCHANGE) == 0) {
    ::unlinkat(folder_, temporary, 0);
  } else if (::renameat(folder_, temporary, folder_, name_.c_str()) != 0) {
    Fail(errno);  // the destructor removes the temporary file
    return;
  }
  temporary_.clear();
  ForgetOnInterrupt(std::exchange(interruptSlot_, -1));
  SyncNewName();
}

// A durable file's new name to the disk. Where the folder does not get there, the disk
// may hold the folder as it was or as it is: a file that was not there before goes
// again; an old file is gone from the folder already, so its bytes go to a kept copy
// that the failure names.
void TReplacingFile::SyncNewName() {
  if (!durable_) return;
  const int error = SyncFolder(folder_);
  if (error == 0) return;
  if (!replacing_) {
    failure_ = {error, ::unlinkat(folder_, name_.c_str(), 0) != 0, {}};
    return;
  }
  failure_ = {error, true, {}};
  std::string old;
  TKeptCopy copy;
  if (ReadAll(old_, old) == 0 && copy.Keep(path_, old) == 0) failure_.KeptCopy = copy.Path();
}

bool ReplaceFile(const std::string& path, std::string_view bytes, TWriteFailure& failure, bool durable) {
  TReplacingFile file(path, durable);
  file.Write(bytes);
  const bool written = file.Commit();
  failure = file.Failure();
  return written;
}

bool ReplaceFile(const std::string& path, std::string_view bytes, int* error, bool durable) {
  TWriteFailure failure;
  const bool written = ReplaceFile(path, bytes, failure, durable);
  if (error != nullptr) *error = failure.Error;
  return written;
}
