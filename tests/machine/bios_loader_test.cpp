// BIOS loads read off the caller's thread: the latest load wins, reading alone and
// telling its result alone; a reset meanwhile reads the image being loaded, and a stop
// gives a read up.

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

// A newer load reads once the older read has ended, which a part under way does
// before it gives way: one read at a time, and the older one's bytes never taken in. A
// load given up before its turn reads nothing. The latest load's result is told, once.
TEST_F(BiosLoaderTest, ANewerLoadReadsOnceTheOlderHasEndedAndWins) {
  const std::string early = scratch.Write("early.bin", "\x01\x01");
  const std::string skipped = scratch.Write("skipped.bin", "\x03");
  const std::string late = scratch.Write("late.bin", "\x02\x02\x02");
  std::atomic<bool> earlyPartEnds{false};
  std::atomic<int> reading{0}, mostReading{0}, skippedReads{0};
  std::string heldWhenLateBegan = "unread";
  cpu.ReadImage = [&](const std::string& path, uint64_t limit, const TReadGoesOn&) {
    const int now = ++reading;
    if (now > mostReading) mostReading = now;
    if (path == skipped) ++skippedReads;
    // The early read is a part under way, which no give-up stops.
    if (path == early) Eventually([&] { return earlyPartEnds.load(); });
    // Taken under the lock, which the thread of this read does not hold.
    if (path == late) heldWhenLateBegan = Held();
    TImageFile image = ReadImageFile(path, limit);
    --reading;
    return image;
  };
  TBiosLoader loader(cpu);
  loader.Load(early);
  ASSERT_TRUE(Eventually([&] { return reading.load() == 1; }));
  loader.Load(skipped);
  loader.Load(late);
  earlyPartEnds = true;
  ASSERT_TRUE(Eventually([&] { return Held() == "\x02\x02\x02"; }));
  EXPECT_EQ(loader.TakeResult(), 0);
  EXPECT_EQ(loader.TakeResult(), std::nullopt);
  // Joined: every read has ended.
  loader.Stop();
  EXPECT_EQ(mostReading, 1);
  EXPECT_EQ(skippedReads, 0);
  EXPECT_EQ(heldWhenLateBegan, "");
  EXPECT_EQ(cpu.BiosPath, late);
}

// The result of a load that ended before a newer one began is not told after it: the
// box would speak of an image no longer asked for.
TEST_F(BiosLoaderTest, AnOlderLoadsResultIsNotToldAfterANewerLoad) {
  THeldRead gate;
  cpu.ReadImage = gate.Reader();
  TBiosLoader loader(cpu);
  loader.Load(scratch.Write("first.bin", "\x07"));
  // Its result is told under the lock that took the image in.
  ASSERT_TRUE(Eventually([&] { return Held() == "\x07"; }));
  gate.Shut();
  loader.Load(scratch.Write("good.bin", "\x09"));
  ASSERT_TRUE(gate.WaitFor(2));
  EXPECT_EQ(loader.TakeResult(), std::nullopt);
  gate.Release();
  ASSERT_TRUE(Eventually([&] { return Held() == "\x09"; }));
  EXPECT_EQ(loader.TakeResult(), 0);
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
