#include "machine/disks.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr uint64_t EndOfImage = ~uint64_t{0};

// A system call again for as long as a signal interrupts it.
template <class Call>
auto RetryInterrupted(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

}  // namespace

TDiskDrive::TDiskDrive(int32_t tracks, int32_t sectorsPerTrack, int32_t bytesPerSector)
    : Tracks(tracks), SectorsPerTrack(sectorsPerTrack), BytesPerSector(bytesPerSector) {}

TDiskDrive::~TDiskDrive() { Close(); }

int64_t TDiskDrive::Capacity() const {
  return static_cast<int64_t>(Tracks) * SectorsPerTrack * BytesPerSector;
}

int TDiskDrive::Open(int* error, TOpenMode mode) {
  if (FileName.empty()) return -1;
  Close();
  // A missing image is created empty; an existing one keeps its size and content.
  const int flags = O_RDWR | O_CLOEXEC | (mode == TOpenMode::CreateMissing ? O_CREAT : 0);
  fd_ = RetryInterrupted([this, flags] { return ::open(FileName.c_str(), flags, 0666); });
  if (fd_ >= 0) return 0;
  if (error != nullptr) *error = errno;
  return -3;
}

int TDiskDrive::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  return 0;
}

int TDiskDrive::SetPosition(Value128 value) {
  PositionLatch.StoreHighLow(value);
  return 0;
}

int TDiskDrive::WriteData(Value128 value) {
  DataLatch.StoreLowHigh(value);
  return 0;
}

int TDiskDrive::Command(Value128 value) {
  CommandLatch.StoreHighLow(value);
  CommandCode = static_cast<int32_t>(static_cast<uint32_t>(High64(value)));
  switch (CommandCode) {
    case CommandStatus:
      DataLatch.First = static_cast<uint64_t>(static_cast<int64_t>(Status));
      DataLatch.Second = 0;
      return 0;
    case CommandGeometry:
      DataLatch.First = (static_cast<uint64_t>(static_cast<uint32_t>(SectorsPerTrack)) << 32) |
                        static_cast<uint32_t>(BytesPerSector);
      DataLatch.Second = static_cast<uint64_t>(static_cast<int64_t>(Tracks));
      return 0;
    case CommandReadByte:
      return ReadByte();
    case CommandWriteByte:
      return WriteByte();
    default:
      return 0;
  }
}

int64_t TDiskDrive::TakePosition() {
  Track = static_cast<int32_t>(static_cast<uint32_t>(PositionLatch.Second));
  Sector = static_cast<int32_t>(static_cast<uint32_t>(PositionLatch.First >> 32));
  Byte = static_cast<int32_t>(static_cast<uint32_t>(PositionLatch.First));
  // 64 bits hold any product of the 32-bit fields, so nothing wraps here.
  const int64_t offset =
      (static_cast<int64_t>(Track) * SectorsPerTrack + Sector) * BytesPerSector + Byte;
  // A guest must not reach bytes before the image, nor grow it beyond the disk.
  if (offset < 0 || offset >= Capacity()) return -1;
  return offset;
}

int TDiskDrive::ReadByte() {
  const int64_t offset = TakePosition();
  // Without an image the data port keeps what the program last wrote to it, so that a
  // program can tell a missing image from an empty one.
  if (fd_ < 0) return -1;
  // Whatever is not read from the image reads as past its end, never as what the data
  // port held before: a position outside the disk, a read the host refuses.
  DataLatch.First = EndOfImage;
  DataLatch.Second = 0;
  if (offset < 0) return -1;
  uint8_t byte = 0;
  const ssize_t read = RetryInterrupted([&] { return ::pread(fd_, &byte, 1, static_cast<off_t>(offset)); });
  if (read == 1) DataLatch.First = byte;
  if (read >= 0) return 0;
  if (refusals_.Read == 0) refusals_.Read = errno;
  return -1;
}

int TDiskDrive::WriteByte() {
  const int64_t offset = TakePosition();
  if (fd_ < 0 || offset < 0) return -1;
  const uint8_t byte = static_cast<uint8_t>(DataLatch.First & 0xFF);
  const ssize_t written = RetryInterrupted([&] { return ::pwrite(fd_, &byte, 1, static_cast<off_t>(offset)); });
  if (written == 1) return 0;
  // A write that takes no byte without an error has found no room for it.
  if (refusals_.Write == 0) refusals_.Write = written < 0 ? errno : ENOSPC;
  return -1;
}

TDiskDrive::TRefusals TDiskDrive::TakeRefusals() {
  const TRefusals refusals = refusals_;
  refusals_ = {};
  return refusals;
}

int TDiskDrive::ReadPosition(Value128& out) const {
  out = PositionLatch.Value();
  return 0;
}

int TDiskDrive::ReadData(Value128& out) const {
  out = DataLatch.Value();
  return 0;
}

int TDiskDrive::ReadCommand(Value128& out) const {
  out = CommandLatch.Value();
  return 0;
}
