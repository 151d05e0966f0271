#include "base/replacing_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "base/file_error.h"
#include "base/in_place_write.h"
#include "base/interrupt_cleanup.h"
#include "base/path_parts.h"
#include "base/written_path.h"

namespace {

constexpr int kNameAttempts = 100;

// Short whatever the file's name, so that any name the file system takes can be
// written; hidden, and unique so that two builds in one folder never share one.
std::string FreshName() {
  static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  unsigned char random[12];
  if (::getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
    // Without the kernel's randomness, the process and a count still tell names apart.
    static std::atomic<uint64_t> count{0};
    uint64_t seed = (static_cast<uint64_t>(::getpid()) << 32) ^ count.fetch_add(1);
    for (unsigned char& byte : random) {
      seed = seed * 6364136223846793005u + 1442695040888963407u;
      byte = static_cast<unsigned char>(seed >> 56);
    }
  }
  std::string name = ".talvo-";
  for (const unsigned char byte : random) name += kDigits[byte % (sizeof kDigits - 1)];
  return name;
}

// An unnamed file is linked in through /proc, which needs no privilege.
bool CanLinkUnnamedFiles() {
  static const bool can = ::access("/proc/self/fd", X_OK) == 0;
  return can;
}

// What open(O_TMPFILE) gives on a file system without unnamed files.
bool LacksUnnamedFiles(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

bool FolderRefuses(int error) { return error == EACCES || error == EPERM; }

bool IsReadable(int fd) { return (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDWR; }

// A folder with the sticky bit lets only the owner of a file, the owner of the folder
// and root replace the file, however writable the file is.
bool FolderLetsReplace(int folder, const struct stat& file) {
  struct stat info {};
  if (::fstat(folder, &info) != 0 || (info.st_mode & S_ISVTX) == 0) return true;
  const uid_t user = ::geteuid();
  return user == 0 || user == file.st_uid || user == info.st_uid;
}

}  // namespace

TReplacingFile::TReplacingFile(const std::string& path, bool durable) : durable_(durable) {
  const std::string written = WrittenPath(path);
  name_ = NameOf(written);
  if (name_.empty()) {  // no path, or one that ends in a slash: a folder's
    Fail(written.empty() ? ENOENT : EISDIR);
    return;
  }
  folder_ = ::open(FolderOf(written).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) {
    Fail(errno);
    return;
  }
  const int target = OpenTarget();
  if (error_ == 0) OpenTemporary(target);
  if (target >= 0 && target != fd_) ::close(target);
  if (error_ == 0) Buffer.reserve(kChunk + 4096);
}

TReplacingFile::~TReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);
  ForgetOnInterrupt(interruptSlot_);
  if (folder_ >= 0) ::close(folder_);
}

// The file as it stands, opened for writing: whether an in-place write would be
// allowed decides. -1 where there is no file yet.
int TReplacingFile::OpenTarget() {
  struct stat info {};
  if (::fstatat(folder_, name_.c_str(), &info, 0) != 0) {
    if (errno != ENOENT) Fail(errno);
    return -1;
  }
  if (!S_ISREG(info.st_mode)) {
    Fail(S_ISDIR(info.st_mode) ? EISDIR : kNotARegularFile);
    return -1;
  }
  mode_ = static_cast<int>(info.st_mode & 07777);
  replaceable_ = FolderLetsReplace(folder_, info);
  // Readable too where it may be, to keep the old bytes should it be written in place.
  constexpr int kFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd = ::openat(folder_, name_.c_str(), O_RDWR | kFlags);
  if (fd < 0 && errno == EACCES) fd = ::openat(folder_, name_.c_str(), O_WRONLY | kFlags);
  if (fd < 0) Fail(errno);
  return fd;
}

void TReplacingFile::OpenTemporary(int target) {
  int error = replaceable_ ? EOPNOTSUPP : EPERM;
  if (replaceable_ && CanLinkUnnamedFiles()) {
    fd_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) return;
    error = errno;
  }
  if (replaceable_ && LacksUnnamedFiles(error)) {
    error = CreateUnderFreshName([this](const char* name) {
      fd_ = ::openat(folder_, name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
      return fd_ >= 0 ? 0 : errno;
    });
    if (error == 0) {
      way_ = TWay::Named;
      return;
    }
  }
  if (FolderRefuses(error) && target >= 0 && IsReadable(target)) {
    way_ = TWay::InPlace;
    fd_ = target;
    return;
  }
  Fail(error);
}

template <class Create>
int TReplacingFile::CreateUnderFreshName(Create&& create) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = FreshName();
    // Registered before it exists, so that no moment leaves it behind on SIGINT.
    const TMakingName making;
    if (!making.Allowed()) return EINTR;
    interruptSlot_ = RemoveOnInterrupt(folder_, name.c_str());
    const int error = create(name.c_str());
    if (error == 0) {
      temporary_ = name;
      return 0;
    }
    ForgetOnInterrupt(std::exchange(interruptSlot_, -1));
    if (error != EEXIST) return error;
  }
  return EEXIST;
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
    if (const int error = ReserveSpace(fd_, Buffer.size()); error != 0) Fail(error);
    return error_ == 0;
  }
  Flush();
  if (error_ == 0 && mode_ >= 0 && ::fchmod(fd_, static_cast<mode_t>(mode_)) != 0) Fail(errno);
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
      if (const int error = OverwriteInPlace(fd_, Buffer, durable_); error != 0) Fail(error);
      Buffer.clear();
      break;
  }
  return error_ == 0;
}

void TReplacingFile::LinkIn() {
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd_);
  const auto link = [&](const char* name) {
    return ::linkat(AT_FDCWD, self, folder_, name, AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
  };
  // Where no file was, the new one takes its name in one step.
  if (mode_ < 0) {
    const int error = link(name_.c_str());
    if (error == 0) return;
    if (error != EEXIST) {
      Fail(error);
      return;
    }
  }
  // A link replaces no file: the complete file takes a fresh name of its own, and then
  // the old file's place. A SIGKILL in the few microseconds from here to the end of
  // RenameIn, which write no byte, is the one moment that leaves a hidden file behind.
  if (const int error = CreateUnderFreshName(link); error != 0) {
    Fail(error);
    return;
  }
  RenameIn();
}

void TReplacingFile::RenameIn() {
  // Renamed over an old file, ext4 starts writing the new one out at once (auto_da_alloc),
  // which for the hundreds of megabytes of a large build costs more than writing them
  // did. Exchanged with the old file, the new one takes its place as atomically, and the
  // old one, under the temporary name now, goes; a file system that cannot exchange
  // renames.
  if (mode_ >= 0 && ::renameat2(folder_, temporary_.c_str(), folder_, name_.c_str(), RENAME_EXCHANGE) == 0) {
    ::unlinkat(folder_, temporary_.c_str(), 0);
  } else if (::renameat(folder_, temporary_.c_str(), folder_, name_.c_str()) != 0) {
    Fail(errno);  // the destructor removes the temporary file
    return;
  }
  temporary_.clear();
  ForgetOnInterrupt(std::exchange(interruptSlot_, -1));
}

bool ReplaceFile(const std::string& path, std::string_view bytes, int* error, bool durable) {
  TReplacingFile file(path, durable);
  file.Write(bytes);
  const bool written = file.Commit();
  if (error != nullptr) *error = file.Error();
  return written;
}
