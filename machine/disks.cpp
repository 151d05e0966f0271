#include "machine/disks.h"

#include <sys/stat.h>

namespace {

constexpr uint64_t EndOfImage = ~uint64_t{0};

bool FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

TDiskDrive::TDiskDrive(int32_t tracks, int32_t sectorsPerTrack, int32_t bytesPerSector)
    : Tracks(tracks), SectorsPerTrack(sectorsPerTrack), BytesPerSector(bytesPerSector) {}

TDiskDrive::~TDiskDrive() { Close(); }

int64_t TDiskDrive::Capacity() const {
  return static_cast<int64_t>(Tracks) * SectorsPerTrack * BytesPerSector;
}

int TDiskDrive::Open() {
  if (FileName.empty()) return -1;
  if (!FileExists(FileName)) {
    // Appending never empties a file that appeared in the meantime.
    if (std::FILE* created = std::fopen(FileName.c_str(), "ab")) std::fclose(created);
  }
  Close();
  stream_ = std::fopen(FileName.c_str(), "r+b");
  if (stream_ == nullptr) return -3;
  std::rewind(stream_);
  return 0;
}

int TDiskDrive::Close() {
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
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
  if (stream_ == nullptr || offset < 0) return -1;
  if (fseeko(stream_, static_cast<off_t>(offset), SEEK_SET) != 0) return -1;
  const int byte = std::fgetc(stream_);
  if (byte == EOF) {
    const bool failed = std::ferror(stream_) != 0;
    std::clearerr(stream_);
    if (failed) return -1;
    DataLatch.First = EndOfImage;
  } else {
    DataLatch.First = static_cast<uint64_t>(byte);
  }
  DataLatch.Second = 0;
  return 0;
}

int TDiskDrive::WriteByte() {
  const int64_t offset = TakePosition();
  if (stream_ == nullptr || offset < 0) return -1;
  if (fseeko(stream_, static_cast<off_t>(offset), SEEK_SET) != 0) return -1;
  // Flushed at once: a byte the guest wrote is on the image even if the run ends
  // abruptly, and a failing host file is reported to the guest.
  const bool written = std::fputc(static_cast<int>(DataLatch.First & 0xFF), stream_) != EOF &&
                       std::fflush(stream_) == 0;
  if (!written) {
    std::clearerr(stream_);
    return -1;
  }
  return 0;
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
