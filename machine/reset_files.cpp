#include "machine/reset_files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "base/file_read.h"
#include "base/gbk_convert.h"
#include "machine/setting_file.h"

namespace {

// The settings file keeps a BIOS path of at most this many bytes.
constexpr size_t kMaxBiosPathBytes = 999;
// A long read asks whether it is still wanted before each part of this size.
constexpr size_t kReadPartBytes = size_t{4} << 20;

TImageFile Refused(int error) {
  TImageFile image;
  image.Error = error;
  return image;
}

// Bytes grown to `size`: large blocks grow by remapping, without a copy.
bool Grow(TImageBytes& bytes, size_t size) {
  auto* grown = static_cast<uint8_t*>(std::realloc(bytes.get(), size));
  if (grown == nullptr) return false;
  (void)bytes.release();
  bytes.reset(grown);
  return true;
}

}  // namespace

bool IsUsableMemorySize(double bytes) {
  return std::isfinite(bytes) && bytes >= 0.0 && bytes <= kMaxMemoryMb * 1024.0 * 1024.0;
}

TImageFile ReadImageFile(const std::string& path, uint64_t limit, const TReadGoesOn& goesOn) {
  // Only a regular file: a FIFO would block the open, and a folder has no bytes.
  int error = 0;
  TFilePtr file = OpenRegularFile(path, &error);
  if (!file) return Refused(error);
  struct stat info {};
  if (::fstat(::fileno(file.get()), &info) != 0) return Refused(errno);
  // The length must be countable in 32 bits, as the core keeps it.
  if (info.st_size >= INT32_MAX) return Refused(EFBIG);
  const size_t length = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(info.st_size), limit));
  TImageFile image;
  size_t done = 0;
  while (done < length) {
    if (goesOn && !goesOn()) return Refused(ECANCELED);
    const size_t part = std::min(kReadPartBytes, length - done);
    if (!Grow(image.Bytes, done + part)) return Refused(ENOMEM);
    const size_t read = std::fread(image.Bytes.get() + done, 1, part, file.get());
    if (std::ferror(file.get())) return Refused(EIO);
    done += read;
    if (read < part) break;
  }
  // A file that shrinks while read leaves zeros at its end.
  if (!Grow(image.Bytes, length + 1)) return Refused(ENOMEM);
  std::memset(image.Bytes.get() + done, 0, length + 1 - done);
  image.Length = static_cast<int32_t>(length);
  return image;
}

TReadTurns::TTurn TReadTurns::Take(const TReadGoesOn& goesOn) {
  std::unique_lock<std::mutex> lock(mutex_);
  bool counted = false;
  bool had = false;
  // A give-up is the reader's own flag and tells no one: asked again and again while
  // another read has the turn, which that read gives back within one part once it is
  // given up. Asked without the lock, which the give-ups of other reads need.
  for (;;) {
    if (goesOn) {
      lock.unlock();
      const bool goes = goesOn();
      lock.lock();
      if (!goes) break;
    }
    if (!taken_) {
      taken_ = had = true;
      break;
    }
    if (!counted) ++waiting_;
    counted = true;
    given_.wait_for(lock, std::chrono::milliseconds(1));
  }
  if (counted) --waiting_;
  return TTurn(had ? this : nullptr);
}

int TReadTurns::Waiting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return waiting_;
}

void TReadTurns::Give() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    taken_ = false;
  }
  given_.notify_all();
}

uint64_t ResetBlockBytes(double memSize, uint64_t keptBlock) {
  return IsUsableMemorySize(memSize) ? static_cast<uint64_t>(memSize) : keptBlock;
}

TResetFiles ReadResetFiles(const TResetRequest& request, const TImageReader& readImage, const TReadGoesOn& goesOn) {
  TResetFiles files;
  files.Request = request;
  files.MemSize = request.MemSize;
  files.BiosPath = request.BiosPath;
  TSettingItems items;
  if (ReadSettingItems(request.SettingPath, items) == 1) {
    double megabytes = 0;
    if (ParseSettingNumber(items.Items[SettingMemSize], megabytes) && megabytes > 0 && megabytes <= kMaxMemoryMb)
      files.MemSize = megabytes * 1024.0 * 1024.0;
    std::string& bios = items.Items[SettingBiosFile];
    if (bios.size() > kMaxBiosPathBytes) bios.resize(kMaxBiosPathBytes);
    files.BiosPath = StoredNameToPath(bios);
  }
  if (files.BiosPath.empty()) return files;
  files.Image = readImage(files.BiosPath, ResetBlockBytes(files.MemSize, request.KeptBlock), goesOn);
  files.GivenUp = files.Image.Error == ECANCELED;
  return files;
}
