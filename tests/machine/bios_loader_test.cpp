// BIOS loads read off the caller's thread: the latest load wins, a reset meanwhile reads
// the image being loaded, and a stop gives a read up.

#include <gtest/gtest.h>

#include <atomic>
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

  TScratchFolder scratch;
  TTALVOCPU cpu;
};

// However late the read of an earlier load ends, it takes nothing in after a later
// load, whose result is the one told, once.
TEST_F(BiosLoaderTest, TheLatestLoadWinsHoweverLateAnEarlierReadEnds) {
  const std::string early = scratch.Write("early.bin", "\x01\x01");
  const std::string late = scratch.Write("late.bin", "\x02\x02\x02");
  // The early read is a part under way when the later load comes, which no give-up
  // stops: it ends only once the later load has taken its image in.
  std::atomic<bool> lateTakenIn{false};
  cpu.ReadImage = [&](const std::string& path, uint64_t limit, const TReadGoesOn& goesOn) {
    if (path != early) return ReadImageFile(path, limit, goesOn);
    Eventually([&] { return lateTakenIn.load(); });
    return ReadImageFile(path, limit);
  };
  TBiosLoader loader(cpu);
  loader.Load(early);
  loader.Load(late);
  ASSERT_TRUE(Eventually([&] { return Held() == "\x02\x02\x02"; }));
  EXPECT_EQ(loader.TakeResult(), 0);
  EXPECT_EQ(loader.TakeResult(), std::nullopt);
  lateTakenIn = true;
  // Joined: the early read has ended.
  loader.Stop();
  EXPECT_EQ(Held(), "\x02\x02\x02");
  EXPECT_EQ(cpu.BiosPath, late);
  EXPECT_EQ(loader.TakeResult(), std::nullopt);
}

// A reset during a load reads the image being loaded, as it would after the load; the
// load then keeps what the reset took in. A failed load leaves the reset its old file.
TEST_F(BiosLoaderTest, AResetDuringALoadReadsTheImageBeingLoaded) {
  const std::string image = scratch.Write("new.bin", "\x0B");
  cpu.BeginBiosLoad(image);
  cpu.Reset();
  EXPECT_EQ(cpu.Memory[0], 0x0B);
  WriteBytes(image, "\x0C");
  EXPECT_EQ(cpu.EndBiosLoad(ReadImageFile(image, cpu.ImageReadLimit())), 0);
  EXPECT_EQ(Held(), "\x0B");

  const std::string missing = scratch.File("missing.bin");
  cpu.BeginBiosLoad(missing);
  EXPECT_EQ(cpu.EndBiosLoad(ReadImageFile(missing, cpu.ImageReadLimit())), -1);
  cpu.Reset();
  EXPECT_EQ(cpu.Memory[0], 0x0C);
}

// A read under way when the loader stops is given up and its thread joined; nothing is
// taken in, and no load begins after.
TEST_F(BiosLoaderTest, AStopGivesAReadUpAndJoinsIt) {
  const std::string image = scratch.Write("image.bin", "\x07");
  THeldRead gate;
  gate.Shut();
  cpu.ReadImage = gate.Reader();
  TBiosLoader loader(cpu);
  loader.Load(image);
  ASSERT_TRUE(gate.WaitFor(1));
  loader.Stop();
  EXPECT_EQ(gate.GivenUp(), 1);
  EXPECT_EQ(loader.TakeResult(), std::nullopt);
  EXPECT_EQ(Held(), "");
  loader.Load(image);
  EXPECT_EQ(gate.Reads(), 1);
}

}  // namespace
