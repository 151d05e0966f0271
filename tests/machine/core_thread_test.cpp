// The core thread: a run from reset, stopping by flag, pause and resume between
// steps, a failing step, the window going away, a thread never resumed, the resets
// asked for during a run.

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "../common/eventually.h"
#include "../common/held_read.h"
#include "../common/stored_name.h"
#include "machine/core_thread.h"
#include "thread_fixture.h"

namespace {

using program_words::Image;

// The thread's own waits take the same bound as the polls.
constexpr auto kLimit = kEventuallyLimit;

TEST_F(ThreadedCoreTest, RunsFromResetUntilStoppedByTheFlag) {
  UseCountingProgram();
  {
    // Whatever was there before, the run starts from the reset state at 0:0.
    std::lock_guard<TCoreLock> guard(cpu.CoreLock);
    cpu.Regs[1] = 12345678;
  }
  TCoreThread thread(cpu);
  EXPECT_TRUE(thread.Suspended());
  thread.Running = 1;
  thread.Resume();
  ASSERT_TRUE(Eventually([&] {
    const Value128 r1 = Counter();
    return r1 > 1000 && r1 < 12345678;
  }));
  thread.Running = 0;
  ASSERT_TRUE(thread.WaitFor(kLimit));
  EXPECT_TRUE(thread.Finished());
  EXPECT_EQ(thread.Running, 0);
  EXPECT_EQ(host.InstructionTimerChanges(), (std::vector<bool>{true, false}));
  // Stopped between two steps: IP addresses the ADD or the JMP.
  const uint32_t ip = cpu.GetProgramCounter();
  EXPECT_TRUE(ip == 40 || ip == 44) << ip;
}

TEST_F(ThreadedCoreTest, PauseHoldsBetweenStepsAndResumeGoesOn) {
  UseCountingProgram();
  TCoreThread thread(cpu);
  thread.Running = 1;
  thread.Resume();
  ASSERT_TRUE(Eventually([&] { return Counter() > 100; }));
  thread.Suspend();
  ASSERT_TRUE(Eventually([&] { return thread.Parked(); }));
  // Parked, the worker runs nothing until it is resumed.
  const Value128 held = Counter();
  EXPECT_EQ(Counter(), held);
  EXPECT_TRUE(thread.Parked());
  EXPECT_FALSE(thread.Finished());
  thread.Resume();
  EXPECT_TRUE(Eventually([&] { return Counter() > held; }));
  thread.Terminate();
  ASSERT_TRUE(thread.WaitFor(kLimit));
  EXPECT_EQ(thread.Running, 0);
}

TEST_F(ThreadedCoreTest, AFailingStepOrAVanishedWindowEndsTheRun) {
  Image unknown;
  unknown.Emit(program_words::Word(0xEE, 0, 0, 0));
  UseBios(unknown);
  {
    TCoreThread thread(cpu);
    thread.Running = 1;
    thread.Resume();
    ASSERT_TRUE(thread.WaitFor(kLimit));
    EXPECT_EQ(thread.Running, 0);
    EXPECT_EQ(cpu.GetProgramCounter(), 0u);
  }
  UseCountingProgram();
  TCoreThread thread(cpu);
  thread.Running = 1;
  thread.Resume();
  ASSERT_TRUE(Eventually([&] { return Counter() > 100; }));
  host.windowExists = false;
  ASSERT_TRUE(thread.WaitFor(kLimit));
  EXPECT_EQ(thread.Running, 0);
}

// A run whose reset cannot give the machine what it asks (the image, the memory) ends
// before its first step: nothing of the program runs, not even for a moment.
TEST_F(ThreadedCoreTest, ARunThatCannotBeginTakesNoStep) {
  const struct {
    const char* What;
    std::function<void()> Spoil;
  } cases[] = {
      {"image deleted", [&] { std::filesystem::remove(PathOf("bios.bin")); }},
      {"image emptied", [&] { WriteBytes(PathOf("bios.bin"), ""); }},
      {"memory not had", [&] {
         TSettingItems items;
         items.Items[6] = StoredName(PathOf("bios.bin"));
         ASSERT_EQ(WriteSettingItems(cpu.SettingPath, items), 1);
         cpu.MemSize = 4096.0 * 1024 * 1024;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    UseCountingProgram();
    c.Spoil();
    const uint64_t fetched = cpu.FetchedWords;
    const size_t timerChanges = host.InstructionTimerChanges().size();
    TCoreThread thread(cpu);
    thread.Running = 1;
    thread.Resume();
    ASSERT_TRUE(thread.WaitFor(kLimit));
    EXPECT_TRUE(thread.Refused());
    EXPECT_EQ(thread.Running, 0);
    EXPECT_EQ(cpu.FetchedWords, fetched);
    EXPECT_EQ(cpu.Regs[1], 0u);
    // The instruction display never came on.
    const std::vector<bool> changes = host.InstructionTimerChanges();
    EXPECT_EQ(std::count(changes.begin() + static_cast<std::ptrdiff_t>(timerChanges), changes.end(), true), 0);
  }
  // A run that begins is no refused one, however it ends.
  UseCountingProgram();
  cpu.MemSize = 1024 * 1024;
  TCoreThread thread(cpu);
  thread.Running = 1;
  thread.Resume();
  ASSERT_TRUE(Eventually([&] { return Counter() > 100; }));
  thread.Terminate();
  ASSERT_TRUE(thread.WaitFor(kLimit));
  EXPECT_FALSE(thread.Refused());
}

// A reset asked for during a run is the run's thread's to serve, reading the files
// without the core lock, so that whoever asked goes on: while the run steps, and while it
// is paused, which it stays, taking no step. (A reset after the run ended, and one that
// finds the image gone, the window tests see.)
TEST_F(ThreadedCoreTest, AResetAskedForIsServedByTheRunsThreadRunningOrPaused) {
  UseCountingProgram();
  for (const bool paused : {false, true}) {
    SCOPED_TRACE(paused ? "paused" : "running");
    THeldRead gate;
    cpu.ReadImage = gate.Reader();
    TCoreThread thread(cpu);
    ASSERT_TRUE(StartCounting(thread));
    if (paused) thread.Suspend();
    ASSERT_TRUE(Eventually([&] { return !paused || thread.Parked(); }));
    Mark();
    gate.Shut();
    thread.RequestReset();
    ASSERT_TRUE(gate.WaitFor(2));
    // The read holds neither the caller nor the core lock.
    ASSERT_TRUE(cpu.CoreLock.try_lock());
    const uint64_t fetched = cpu.FetchedWords;
    cpu.CoreLock.unlock();
    gate.Release();
    ASSERT_TRUE(Eventually([&] { return !Marked() && (!paused || thread.Parked()); }));
    EXPECT_FALSE(thread.Refused());
    if (paused) {
      std::lock_guard<TCoreLock> guard(cpu.CoreLock);
      EXPECT_EQ(cpu.FetchedWords, fetched);
      EXPECT_EQ(cpu.GetProgramCounter(), 0u);
    }
    thread.Resume();
    EXPECT_TRUE(Eventually([&] { return Counter() > 100; }));
  }
}

// A reset's read gives way: to a second reset, which reads again at once instead of
// after the first read, and to a stop, which ends the run without the reset.
TEST_F(ThreadedCoreTest, AResetsReadGivesWayToASecondResetAndToAStop) {
  UseCountingProgram();
  for (const bool stop : {false, true}) {
    SCOPED_TRACE(stop ? "stop" : "second reset");
    THeldRead gate;
    cpu.ReadImage = gate.Reader();
    TCoreThread thread(cpu);
    ASSERT_TRUE(StartCounting(thread));
    Mark();
    gate.Shut();
    thread.RequestReset();
    ASSERT_TRUE(gate.WaitFor(2));
    if (stop) {
      thread.Running = 0;
      ASSERT_TRUE(thread.WaitFor(kLimit));
      EXPECT_TRUE(Marked());
    } else {
      thread.RequestReset();
      ASSERT_TRUE(gate.WaitFor(3, 1));
      gate.Release();
      ASSERT_TRUE(Eventually([&] { return !Marked(); }));
      // One read served both resets.
      EXPECT_EQ(gate.Reads(), 3);
    }
    EXPECT_EQ(gate.GivenUp(), 1);
    EXPECT_FALSE(thread.Refused());
  }
}

TEST_F(ThreadedCoreTest, AThreadNeverResumedNeverRunsItsBody) {
  UseCountingProgram();
  cpu.Regs[1] = 77;
  { TCoreThread thread(cpu); }
  EXPECT_TRUE(host.InstructionTimerChanges().empty());
  EXPECT_EQ(cpu.Regs[1], 77u);
}

}  // namespace
