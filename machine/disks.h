#pragma once
// The floppy and the hard disk: a flat image file on the host, read and written a
// byte at a time through a position port, a data port and a command port. The two
// drives differ only in their geometry. Every byte goes to the file with one
// positioned read or write, unbuffered: a byte written is in the image at once.
//
// Port operations run on whichever thread executes the OUT or IN, Open and Close on
// the UI thread; all of them are called with the core lock held.

#include <cstdint>
#include <string>

#include "machine/devices.h"
#include "machine/value128.h"

class TDiskDrive {
 public:
  // Command codes written to bits 64..95 of the command port.
  enum : int32_t { CommandStatus = 1, CommandGeometry = 2, CommandReadByte = 3, CommandWriteByte = 4 };

  int32_t Status = 0;  // no operation changes it
  const int32_t Tracks;
  const int32_t SectorsPerTrack;
  const int32_t BytesPerSector;
  int32_t CommandCode = 0;  // last command written
  int32_t Track = 0;        // position of the last read or write command
  int32_t Sector = 0;
  int32_t Byte = 0;
  std::string FileName;  // set by the main window before Open
  TLatch PositionLatch;  // stored (H, L)
  TLatch DataLatch;      // stored (L, H); command results in First
  TLatch CommandLatch;   // stored (H, L)

  TDiskDrive(const TDiskDrive&) = delete;
  TDiskDrive& operator=(const TDiskDrive&) = delete;
  // Closes the image: every byte written is already in the file.
  ~TDiskDrive();

  // Whether Open creates an image that does not exist yet.
  enum class TOpenMode { CreateMissing, ExistingOnly };
  // Opens FileName for update, creating an empty file when none exists (unless told
  // otherwise); an existing image keeps its size and content. 0 done, -1 empty name,
  // -3 the file cannot be opened (no image is open then; `error` takes the errno value).
  int Open(int* error = nullptr, TOpenMode mode = TOpenMode::CreateMissing);
  // Always 0, also when no image was open.
  int Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Position: track in bits 0..31, byte in bits 64..95, sector in bits 96..127.
  int SetPosition(Value128 value);
  // The byte to write goes in bits 0..7.
  int WriteData(Value128 value);
  // Runs the command in bits 64..95: status, geometry, read byte, write byte; any
  // other code only stores it. Read and write give -1 with no image open, for a
  // position outside the disk, or when the host file fails. With no image open the
  // data latch keeps its value; with one, a read that gives no byte (outside the disk,
  // refused by the host) gives all ones in First, as a read past the end of the image
  // does.
  int Command(Value128 value);
  int ReadPosition(Value128& out) const;
  int ReadData(Value128& out) const;
  int ReadCommand(Value128& out) const;

  // Bytes in a full image; the byte offsets of the disk are 0 .. Capacity() - 1.
  int64_t Capacity() const;

  // Why the host refused the first byte written, and the first byte read, since the
  // last call (errno values: a full disk, a file size limit, an image that cannot be
  // read at a position), or 0; the record is cleared. The guest only finds a byte
  // missing or all ones, so the window or runner tells the user.
  struct TRefusals {
    int Write = 0;
    int Read = 0;
  };
  TRefusals TakeRefusals();

 protected:
  TDiskDrive(int32_t tracks, int32_t sectorsPerTrack, int32_t bytesPerSector);

 private:
  // Byte offset of the latched position, or -1 when it lies outside the disk.
  int64_t TakePosition();
  int ReadByte();
  int WriteByte();

  int fd_ = -1;  // the image file, -1 while none is open
  TRefusals refusals_;
};

// 72 tracks of 80 sectors of 256 bytes: 1,474,560 bytes.
class TFloppy : public TDiskDrive {
 public:
  TFloppy() : TDiskDrive(72, 80, 256) {}
};

// 1600 tracks of 256 sectors of 256 bytes: 104,857,600 bytes.
class THardDisk : public TDiskDrive {
 public:
  THardDisk() : TDiskDrive(1600, 256, 256) {}
};
