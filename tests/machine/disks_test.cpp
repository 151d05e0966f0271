#include "machine/disks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../common/scratch.h"

namespace {

constexpr Value128 V(uint64_t high, uint64_t low) { return MakeValue128(high, low); }

constexpr Value128 Position(uint32_t track, uint32_t sector, uint32_t byte) {
  return V((static_cast<uint64_t>(sector) << 32) | byte, track);
}

constexpr Value128 CommandValue(uint32_t code) { return V(code, 0); }

size_t OpenDescriptors() {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

class DiskTest : public ScratchFolderTest {
 protected:

  // Opens an image named `name` in the drive; fails the test when it does not open.
  void OpenImage(TDiskDrive& drive, const std::string& name) {
    drive.FileName = PathOf(name);
    ASSERT_EQ(drive.Open(), 0);
  }

  static int WriteByteAt(TDiskDrive& drive, Value128 position, uint8_t byte) {
    drive.SetPosition(position);
    drive.WriteData(V(0, byte));
    return drive.Command(CommandValue(TDiskDrive::CommandWriteByte));
  }

  static Value128 ReadByteAt(TDiskDrive& drive, Value128 position, int* result = nullptr) {
    drive.SetPosition(position);
    const int r = drive.Command(CommandValue(TDiskDrive::CommandReadByte));
    if (result != nullptr) *result = r;
    Value128 out = 0;
    drive.ReadData(out);
    return out;
  }
};

TEST_F(DiskTest, GeometryAndStatusCommands) {
  TFloppy floppy;
  THardDisk disk;
  Value128 out = 0;
  EXPECT_EQ(floppy.Command(CommandValue(TDiskDrive::CommandGeometry)), 0);
  floppy.ReadData(out);
  EXPECT_EQ(out, V((80ull << 32) + 256, 72));
  disk.Command(CommandValue(TDiskDrive::CommandGeometry));
  disk.ReadData(out);
  EXPECT_EQ(out, V((256ull << 32) + 256, 1600));
  EXPECT_EQ(floppy.Capacity(), 1474560);
  EXPECT_EQ(disk.Capacity(), 104857600);

  floppy.WriteData(V(9, 9));
  floppy.Command(CommandValue(TDiskDrive::CommandStatus));
  floppy.ReadData(out);
  EXPECT_EQ(out, 0u);
}

TEST_F(DiskTest, LatchesAndUnknownCommandsOnlyStore) {
  TFloppy floppy;
  Value128 out = 0;
  floppy.WriteData(V(1, 2));
  floppy.ReadData(out);
  EXPECT_EQ(out, V(2, 1));
  floppy.SetPosition(V(3, 4));
  floppy.ReadPosition(out);
  EXPECT_EQ(out, V(3, 4));
  for (uint32_t code : {0u, 5u}) {
    EXPECT_EQ(floppy.Command(V((7ull << 32) | code, 8)), 0);
    EXPECT_EQ(floppy.CommandCode, static_cast<int32_t>(code));
    floppy.ReadCommand(out);
    EXPECT_EQ(out, V((7ull << 32) | code, 8));
    floppy.ReadData(out);
    EXPECT_EQ(out, V(2, 1));
  }
}

TEST_F(DiskTest, ReadAndWriteWithoutImageFailAndKeepTheData) {
  TFloppy floppy;
  floppy.WriteData(V(0, 42));
  int result = 0;
  EXPECT_EQ(ReadByteAt(floppy, Position(0, 0, 0), &result), V(42, 0));
  EXPECT_EQ(result, -1);
  EXPECT_EQ(WriteByteAt(floppy, Position(0, 0, 0), 1), -1);
  // The position of the refused command is still taken.
  ReadByteAt(floppy, Position(5, 6, 7));
  EXPECT_EQ(floppy.Track, 5);
  EXPECT_EQ(floppy.Sector, 6);
  EXPECT_EQ(floppy.Byte, 7);
}

TEST_F(DiskTest, WrittenByteLandsAtItsOffsetAndReachesTheFileAtOnce) {
  TFloppy floppy;
  OpenImage(floppy, "f.img");
  ASSERT_EQ(WriteByteAt(floppy, Position(1, 2, 3), 65), 0);
  const std::string bytes = ReadBytes(PathOf("f.img"));
  ASSERT_EQ(bytes.size(), 20996u);
  EXPECT_EQ(bytes[20995], 'A');
  EXPECT_EQ(bytes.find_first_not_of('\0'), 20995u);
  EXPECT_EQ(ReadByteAt(floppy, Position(1, 2, 3)), V(65, 0));
  // The byte written is the low 8 bits of the low half last written to the data port.
  floppy.WriteData(V(0xAA, 0x1FF));
  floppy.Command(CommandValue(TDiskDrive::CommandWriteByte));
  EXPECT_EQ(static_cast<uint8_t>(ReadBytes(PathOf("f.img"))[20995]), 0xFF);
}

TEST_F(DiskTest, ReadPastTheEndGivesAllOnes) {
  THardDisk disk;
  WriteBytes(PathOf("d.img"), "xyz");
  OpenImage(disk, "d.img");
  EXPECT_EQ(ReadByteAt(disk, Position(0, 0, 1)), V('y', 0));
  int result = 1;
  EXPECT_EQ(ReadByteAt(disk, Position(0, 0, 3), &result), V(~0ull, 0));
  EXPECT_EQ(result, 0);
  // The stream is usable again after the end of file.
  EXPECT_EQ(ReadByteAt(disk, Position(0, 0, 2)), V('z', 0));
  EXPECT_EQ(WriteByteAt(disk, Position(0, 0, 3), '!'), 0);
  EXPECT_EQ(ReadBytes(PathOf("d.img")), "xyz!");
}

TEST_F(DiskTest, PositionsOutsideTheDiskAreRefused) {
  TFloppy floppy;
  WriteBytes(PathOf("f.img"), std::string(300, 'q'));
  OpenImage(floppy, "f.img");
  int result = 0;
  // Track -1 would address a byte before the image; a huge byte index a byte far past
  // the disk. A read there gives no byte: all ones, as past the end of the image, not
  // what the data port held.
  for (Value128 position : {Position(0xFFFFFFFF, 0, 0), Position(0, 0, 0x80000000u),
                            Position(0, 0, 0x7FFFFFFF), Position(71, 79, 256), Position(72, 0, 0)}) {
    floppy.WriteData(V(0, 'w'));
    EXPECT_EQ(ReadByteAt(floppy, position, &result), V(~0ull, 0));
    EXPECT_EQ(result, -1);
    EXPECT_EQ(WriteByteAt(floppy, position, 'w'), -1);
  }
  Value128 out = 0;
  floppy.ReadData(out);
  EXPECT_EQ(out, V('w', 0));
  EXPECT_EQ(ReadBytes(PathOf("f.img")), std::string(300, 'q'));
  // The last byte of the disk is still in reach, and a byte past the sector's end
  // addresses the next sector, as the offset formula gives.
  EXPECT_EQ(WriteByteAt(floppy, Position(71, 79, 255), 'z'), 0);
  EXPECT_EQ(std::filesystem::file_size(PathOf("f.img")), 1474560u);
  EXPECT_EQ(WriteByteAt(floppy, Position(0, 0, 257), 'n'), 0);
  EXPECT_EQ(ReadByteAt(floppy, Position(0, 1, 1)), V('n', 0));
}

TEST_F(DiskTest, OpenKeepsAnExistingImageAndCreatesAMissingOne) {
  std::string image(1474560, '\0');
  for (size_t i = 0; i < image.size(); i += 4093) image[i] = static_cast<char>(i % 251);
  WriteBytes(PathOf("full.img"), image);
  {
    TFloppy floppy;
    OpenImage(floppy, "full.img");
    EXPECT_EQ(ReadByteAt(floppy, Position(0, 0, 4093)), V(4093 % 251, 0));
  }
  EXPECT_EQ(ReadBytes(PathOf("full.img")), image);

  TFloppy floppy;
  OpenImage(floppy, "new.img");
  EXPECT_TRUE(floppy.IsOpen());
  EXPECT_TRUE(std::filesystem::exists(PathOf("new.img")));
  EXPECT_EQ(std::filesystem::file_size(PathOf("new.img")), 0u);
}

TEST_F(DiskTest, OpenFailuresLeaveNoImage) {
  TFloppy floppy;
  EXPECT_EQ(floppy.Open(), -1);
  floppy.FileName = PathOf("missing-folder/f.img");
  EXPECT_EQ(floppy.Open(), -3);
  EXPECT_FALSE(floppy.IsOpen());
  // A failed re-open leaves no image open, not the old one.
  OpenImage(floppy, "f.img");
  floppy.FileName = dir_.string();
  EXPECT_EQ(floppy.Open(), -3);
  EXPECT_FALSE(floppy.IsOpen());
  EXPECT_EQ(WriteByteAt(floppy, Position(0, 0, 0), 1), -1);
}

TEST_F(DiskTest, ReopenAndCloseAndDestructionReleaseTheFile) {
  const size_t before = OpenDescriptors();
  {
    THardDisk disk;
    OpenImage(disk, "a.img");
    OpenImage(disk, "b.img");
    EXPECT_EQ(OpenDescriptors(), before + 1);
    ASSERT_EQ(WriteByteAt(disk, Position(0, 0, 0), 'b'), 0);
    EXPECT_EQ(disk.Close(), 0);
    EXPECT_EQ(disk.Close(), 0);
    EXPECT_EQ(OpenDescriptors(), before);
    OpenImage(disk, "a.img");
    ASSERT_EQ(WriteByteAt(disk, Position(0, 0, 1), 'a'), 0);
  }
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_EQ(ReadBytes(PathOf("a.img")), std::string("\0a", 2));
  EXPECT_EQ(ReadBytes(PathOf("b.img")), "b");
}

// A byte the host refuses is lost to the guest (a write) or read as all ones (a read,
// as at the end of the image); the drive keeps the reason until it is taken, once.
TEST_F(DiskTest, HostRefusalsAreKeptUntilTaken) {
  const std::string fifo = PathOf("image.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const bool writes : {true, false}) {
    SCOPED_TRACE(writes ? "write" : "read");
    TFloppy floppy;
    floppy.FileName = writes ? "/dev/full" : fifo;
    ASSERT_EQ(floppy.Open(), 0);
    floppy.WriteData(V(0, 0x41));
    int result = 0;
    if (writes) {
      result = WriteByteAt(floppy, Position(0, 0, 0), 0x41);
    } else {
      EXPECT_EQ(ReadByteAt(floppy, Position(0, 0, 0), &result), V(~0ull, 0));
    }
    EXPECT_EQ(result, -1);
    const TDiskDrive::TRefusals refused = floppy.TakeRefusals(), again = floppy.TakeRefusals();
    EXPECT_EQ(refused.Write, writes ? ENOSPC : 0);
    EXPECT_EQ(refused.Read, writes ? 0 : ESPIPE);
    EXPECT_EQ(again.Write + again.Read, 0);
  }
}

}  // namespace
