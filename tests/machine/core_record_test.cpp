// Reset, BIOS loading and the settings file.

#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <fstream>
#include <unistd.h>

#include "../common/scratch.h"
#include "../common/stored_name.h"
#include "core_fixture.h"
#include "base/file_error.h"
#include "machine/setting_file.h"

namespace fs = std::filesystem;

namespace {

class CoreRecordTest : public CoreTest {
 protected:
  std::string WriteFile(const std::string& name, const std::string& bytes) { return scratch.Write(name, bytes); }
  void WriteSettings(const std::string& memoryMb, const std::string& bios) {
    TSettingItems items;
    items.Items[SettingMemSize] = memoryMb;
    items.Items[SettingBiosFile] = bios;
    cpu.SettingPath = (folder / "core.setting").string();
    ASSERT_EQ(WriteSettingItems(cpu.SettingPath, items), 1);
  }

  TScratchFolder scratch;
  const fs::path& folder = scratch.Path;
};

TEST_F(CoreRecordTest, FreshCoreWithoutSettingsHasFourMegabytesOfZerosAndNoBios) {
  TTALVOCPU fresh;
  fresh.SettingPath = (folder / "none.setting").string();
  fresh.Reset();
  EXPECT_EQ(fresh.MemAllocated, 4194304u);
  EXPECT_EQ(fresh.BiosLen, 0);
  EXPECT_EQ(fresh.BiosImage, nullptr);
  for (uint64_t i = 0; i <= fresh.MemAllocated; ++i) ASSERT_EQ(fresh.Memory[i], 0) << i;
}

TEST_F(CoreRecordTest, ResetTakesMemorySizeAndBiosFromTheSettingsFile) {
  const std::string bios = WriteFile("my bios.bin", "\x01\x02\x03");
  WriteSettings("1", StoredName(bios));
  cpu.Regs[7] = 9;
  cpu.Memory[100] = 0xAA;
  cpu.Reset();
  EXPECT_EQ(cpu.MemAllocated, 1048576u);
  EXPECT_EQ(cpu.BiosPath, bios);  // the blank belongs to the path
  EXPECT_EQ(cpu.Memory[0], 1);
  EXPECT_EQ(cpu.Memory[2], 3);
  EXPECT_EQ(cpu.Memory[3], 0);
  EXPECT_EQ(cpu.Memory[100], 0);
  EXPECT_EQ(cpu.Regs[7], 0u);
}

TEST_F(CoreRecordTest, MemorySizesThatAreNoPositiveFiniteNumberUpTo2047MbAreIgnored) {
  for (const char* bad : {"0", "-3", "abc", "2048", "1e400", "nan", ""}) {
    WriteSettings(bad, "");
    cpu.MemSize = 8192;
    cpu.Reset();
    EXPECT_EQ(cpu.MemSize, 8192) << bad;
    EXPECT_EQ(cpu.MemAllocated, 8192u) << bad;
  }
}

// An image longer than memory is read only as far as memory holds it.
TEST_F(CoreRecordTest, BiosLoadingKeepsOrReplacesTheImageAndResetCopiesAtMostMemory) {
  EXPECT_EQ(cpu.LoadBiosImage(WriteFile("big.bin", std::string(kMemBytes + 10, '\x7F'))), 0);
  EXPECT_EQ(cpu.LoadBiosImage((folder / "missing.bin").string()), -1);
  EXPECT_EQ(cpu.LoadBiosImage(folder.string()), -1);
  const std::string fifo = (folder / "bios.fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(cpu.LoadBiosImage(fifo), -1);
  EXPECT_EQ(cpu.BiosLen, static_cast<int32_t>(kMemBytes));  // the old image stays
  cpu.Reset();
  EXPECT_EQ(cpu.Memory[kMemBytes - 1], 0x7F);
  EXPECT_EQ(cpu.Memory[kMemBytes], 0);  // the spare byte after memory stays clear

  EXPECT_EQ(cpu.LoadBiosImage(WriteFile("empty.bin", "")), 0);
  EXPECT_EQ(cpu.BiosLen, 0);
  cpu.Reset();
  EXPECT_EQ(cpu.Memory[0], 0);
}

// Every reset reads the image the settings name as the file is now, the name taken
// from GBK as every stored name is; an image it cannot read is not kept, so no run
// uses bytes that are no longer the file's.
TEST_F(CoreRecordTest, EveryResetReadsTheNamedImageAsItIsNow) {
  const fs::path project = folder / "\xe5\xad\xa6\xe7\x94\x9f\xe9\xa1\xb9\xe7\x9b\xae";  // 学生项目
  fs::create_directory(project);
  const std::string image = (project / "p.Bin").string();
  const std::string gbkName = StoredName(folder) + "/\xd1\xa7\xc9\xfa\xcf\xee\xc4\xbf/p.Bin";
  auto write = [&image](std::string bytes) { return [&image, bytes] { WriteBytes(image, bytes); }; };
  const struct {
    const char* What;
    std::function<void()> Change;
    int32_t ImageLength;
    uint8_t FirstByte;
    int32_t Error;
  } steps[] = {
      {"written", write("\x01\x02\x03"), 3, 1, 0},
      {"rebuilt", write("\x09"), 1, 9, 0},
      {"deleted", [&] { fs::remove(image); }, 0, 0, ENOENT},
      {"a FIFO", [&] { ASSERT_EQ(::mkfifo(image.c_str(), 0600), 0); }, 0, 0, kNotARegularFile},
      {"replaced", [&] { fs::remove(image); write("\x07\x07")(); }, 2, 7, 0},
      {"emptied", write(""), 0, 0, 0},
  };
  WriteSettings("1", gbkName);
  for (const auto& step : steps) {
    SCOPED_TRACE(step.What);
    step.Change();
    cpu.Memory[0] = 0xEE;
    cpu.Reset();
    EXPECT_EQ(cpu.BiosLen, step.ImageLength);
    EXPECT_EQ(cpu.BiosImage != nullptr, step.ImageLength > 0 || step.Error == 0);
    EXPECT_EQ(cpu.Memory[0], step.FirstByte);
    EXPECT_EQ(cpu.ResetImageError, step.Error);
    EXPECT_EQ(cpu.ReadyToRun(), step.ImageLength > 0);
  }

  // Without a settings file the image loaded last is read again, as it is now.
  fs::remove(cpu.SettingPath);
  ASSERT_EQ(cpu.LoadBiosImage(WriteFile("own.bin", "\x05")), 0);
  WriteFile("own.bin", "\x06");
  cpu.Reset();
  EXPECT_EQ(cpu.Memory[0], 6);
  fs::remove(folder / "own.bin");
  cpu.Reset();
  EXPECT_EQ(cpu.ResetImageError, ENOENT);
  EXPECT_EQ(cpu.Memory[0], 0);
  EXPECT_FALSE(cpu.ReadyToRun());
}

// A reset reads the image without the core lock, so that the window and a run go on
// meanwhile, and no further than memory holds: a 1 GB image costs one memory's worth.
// A stop while it reads gives the reset up; a file too long for a 32-bit length is
// refused as too large.
TEST_F(CoreRecordTest, AResetReadsTheImageWithoutTheLockAndNoFurtherThanMemory) {
  const std::string image = WriteFile("long.bin", "\x11\x22");
  ASSERT_EQ(::truncate(image.c_str(), off_t{1} << 30), 0);
  WriteSettings("8", StoredName(image));
  auto lockIsFree = [this] {
    bool free = false;
    std::thread([&] {
      free = cpu.CoreLock.try_lock();
      if (free) cpu.CoreLock.unlock();
    }).join();
    return free;
  };
  // Asked between the parts of the read: a held lock gives the reset up.
  bool thenLocked = false;
  ASSERT_TRUE(cpu.ResetReadingUnlocked(lockIsFree, [&] { thenLocked = !lockIsFree(); }));
  EXPECT_TRUE(thenLocked);
  EXPECT_EQ(cpu.BiosLen, 8 << 20);
  EXPECT_EQ(cpu.Memory[1], 0x22);
  cpu.Regs[7] = 7;
  EXPECT_FALSE(cpu.ResetReadingUnlocked([] { return false; }, {}));
  EXPECT_EQ(cpu.Regs[7], 7u);

  ASSERT_EQ(::truncate(image.c_str(), INT32_MAX), 0);
  cpu.Reset();
  EXPECT_EQ(cpu.ResetImageError, EFBIG);
  EXPECT_EQ(cpu.BiosImage, nullptr);
  EXPECT_EQ(cpu.LoadBiosImage(image), -2);
}

// A read no longer wanted ends within one part, having allocated no more than it read:
// with far less address space left than the image needs, a read given up after two
// parts ends as given up, where one that allocated the whole image first fails.
TEST_F(CoreRecordTest, AReadGivenUpHasAllocatedNoMoreThanItRead) {
  const std::string image = WriteFile("huge.bin", "");
  ASSERT_EQ(::truncate(image.c_str(), off_t{1} << 30), 0);
  // 256 MB more address space than is mapped now, in a process of its own.
  const auto giveUp = [&] {
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    statm >> pages;
    const rlimit limit{pages * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE)) + (uint64_t{256} << 20), RLIM_INFINITY};
    int asked = 0;
    const bool givenUp = ::setrlimit(RLIMIT_AS, &limit) == 0 &&
                         ReadImageFile(image, uint64_t{1} << 30, [&] { return ++asked <= 2; }).Error == ECANCELED;
    std::_Exit(givenUp && asked == 3 ? 0 : 1);
  };
  EXPECT_EXIT(giveUp(), ::testing::ExitedWithCode(0), "");
}

// A run may begin only on the memory asked for: a size the reset cannot have keeps the
// old block, and a fraction of a byte is had as the whole bytes below it.
TEST_F(CoreRecordTest, ReadyToRunOnlyWithTheMemoryAskedFor) {
  ASSERT_EQ(cpu.LoadBiosImage(WriteFile("own.bin", "\x05")), 0);
  const struct {
    double Megabytes;
    uint64_t Allocated;
    bool Ready;
  } sizes[] = {{1.44, 1509949, true}, {4096, 1509949, false}, {-1, 1509949, false}, {1, 1048576, true}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(size.Megabytes);
    cpu.MemSize = size.Megabytes * 1024 * 1024;
    cpu.Reset();
    EXPECT_EQ(cpu.MemAllocated, size.Allocated);
    EXPECT_EQ(cpu.HasWantedMemory(), size.Ready);
    EXPECT_EQ(cpu.ReadyToRun(), size.Ready);
  }
}

TEST_F(CoreRecordTest, ChecksUseTheSizeOfTheLastResetNotALaterMemSize) {
  cpu.MemSize = 1e9;  // not applied until the next reset
  Put(kMemBytes - 4, {W(0x80, 1, 0, 0)});  // LD whose immediate would lie past the end
  S(TTALVOCPU::IP) = kMemBytes - 4;
  EXPECT_FALSE(cpu.Step());
  EXPECT_EQ(S(TTALVOCPU::IP), kMemBytes - 4);
  uint64_t word = 0;
  EXPECT_FALSE(cpu.MemReadUInt64(kMemBytes - 7, word));
  EXPECT_FALSE(cpu.MemWriteUInt64(-1, 5));
  EXPECT_TRUE(cpu.MemWriteUInt64(kMemBytes - 8, 0x0102030405060708ull));
  EXPECT_TRUE(cpu.MemReadUInt64(kMemBytes - 8, word));
  EXPECT_EQ(word, 0x0102030405060708ull);
  EXPECT_EQ(cpu.Memory[kMemBytes - 8], 0x08);
}

TEST_F(CoreRecordTest, RegisterAccessBySpecialNumberAndRange) {
  const int slots[isa::kSpecialRegisterCount] = {5, 4, 2, 3, 6, 7, 9, 8, 0, 1};
  for (int n = 0; n < isa::kSpecialRegisterCount; ++n) EXPECT_EQ(cpu.GetSpecialRegBits(n), &cpu.SpecialRegs[slots[n]]) << n;
  EXPECT_EQ(cpu.GetSpecialRegBits(10), nullptr);
  EXPECT_EQ(cpu.GetSpecialRegBits(-1), nullptr);
  EXPECT_EQ(cpu.GetRegBits(255), &cpu.Regs[255]);
  EXPECT_EQ(cpu.GetRegBits(256), nullptr);
  cpu.Regs[3] = 5;
  EXPECT_EQ(cpu.RegToBinText(3), "101");
  EXPECT_EQ(cpu.RegToBinText(4), "0");
  EXPECT_EQ(cpu.RegToBinText(256), "0");
}

}  // namespace
