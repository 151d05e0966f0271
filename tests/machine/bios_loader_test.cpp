// BIOS loads read off the caller's thread: the latest load wins, a reset meanwhile reads
// the image being loaded, and a stop gives a read up.

#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "../common/eventually.h"
#include "../common/held_read.h"
#include "../common/scratch.h"
#include "machine/bios_loader.h"
#include "machine/talvo_cpu.h"

namespace {

class BiosLoaderTest : public ::testing::Test {
 protected:
  BiosLoaderTest() {
    cpu.SettingPath = scratch.File("none.setting");
    cpu.MemSize = 4096;
    cpu.Reset();
  }
  std::string Held() {
    std::lock_guard<TCoreLock> guard(cpu.CoreLock);
    return cpu.BiosImage != nullptr ? std::string(reinterpret_cast<const char*>(cpu.BiosImage), cpu.BiosLen) : "";
  }
  std::string Path() {
    std::lock_guard<TCoreLock> guard(cpu.CoreLock);
    return cpu.BiosPath;
  }

  TScratchFolder scratch;
  TTALVOCPU cpu;
};

// However late the read of an earlier load ends, it takes nothing in after a later
// load, whose result is the one told, once.
TEST_F(BiosLoaderTest, TheLatestLoadWinsHoweverLateAnEarlierReadEnds) {
  const std::string early = scratch.Write("early.bin", "\x01\x01");
  const std::string late = scratch.Write("late.bin", "\x02\x02\x02");
  // The early read is a part under way when the later load comes: it reads on.
  THeldRead gate(false, early);
  cpu.ReadImage = gate.Reader();
  TBiosLoader loader(cpu);
  loader.Load(scratch.File("missing.bin"));
  ASSERT_TRUE(Eventually([&] { return loader.TakeResult() == -1; }));
  EXPECT_EQ(Path(), "");

  loader.Load(early);
  ASSERT_TRUE(gate.WaitForReads(1));
  loader.Load(late);
  ASSERT_TRUE(Eventually([&] { return Path() == late; }));
  EXPECT_EQ(loader.TakeResult(), 0);
  EXPECT_EQ(loader.TakeResult(), std::nullopt);
  gate.Release();
  // Joined: the early read has ended.
  loader.Stop();
  EXPECT_EQ(Path(), late);
  EXPECT_EQ(Held(), "\x02\x02\x02");
  EXPECT_EQ(loader.TakeResult(), std::nullopt);
}

// A reset during a load reads the image being loaded, where it would read BiosPath, as
// it would after the load; the load then keeps what the reset took in and only tells
// its result. Without a reset meanwhile, the load takes its image in, or keeps the
// old one when its file cannot be read.
TEST_F(BiosLoaderTest, AResetDuringALoadReadsTheImageBeingLoaded) {
  const std::string old = scratch.Write("old.bin", "\x0A");
  const std::string fresh = scratch.Write("new.bin", "\x0B");
  ASSERT_EQ(cpu.LoadBiosImage(old), 0);
  cpu.BeginBiosLoad(fresh);
  cpu.Reset();
  EXPECT_EQ(cpu.Memory[0], 0x0B);
  EXPECT_EQ(cpu.BiosPath, fresh);
  WriteBytes(fresh, "\x0C");
  EXPECT_EQ(cpu.EndBiosLoad(ReadImageFile(fresh, cpu.ImageReadLimit())), 0);
  EXPECT_EQ(Held(), "\x0B");

  cpu.BeginBiosLoad(old);
  EXPECT_EQ(cpu.EndBiosLoad(ReadImageFile(old, cpu.ImageReadLimit())), 0);
  EXPECT_EQ(cpu.BiosPath, old);
  EXPECT_EQ(Held(), "\x0A");
  const std::string missing = scratch.File("missing.bin");
  cpu.BeginBiosLoad(missing);
  EXPECT_EQ(cpu.EndBiosLoad(ReadImageFile(missing, cpu.ImageReadLimit())), -1);
  EXPECT_EQ(cpu.BiosPath, old);
  // Ended, the failed load leaves the reset its old image.
  cpu.Reset();
  EXPECT_EQ(cpu.Memory[0], 0x0A);
}

// A read under way when the loader stops is given up and its thread joined; nothing is
// taken in, and no load begins after.
TEST_F(BiosLoaderTest, AStopGivesAReadUpAndJoinsIt) {
  const std::string image = scratch.Write("image.bin", "\x07");
  THeldRead gate;
  cpu.ReadImage = gate.Reader();
  TBiosLoader loader(cpu);
  loader.Load(image);
  ASSERT_TRUE(gate.WaitForReads(1));
  loader.Stop();
  EXPECT_EQ(gate.GivenUp(), 1);
  EXPECT_EQ(loader.TakeResult(), std::nullopt);
  EXPECT_EQ(Path(), "");
  loader.Load(image);
  EXPECT_EQ(gate.Reads(), 1);
}

}  // namespace
