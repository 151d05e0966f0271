// The UI thread's actions on the core while a run goes on: every one takes the core
// lock, so under the thread sanitizer this must run without a report.

#include <chrono>
#include <thread>

#include "machine/core_thread.h"
#include "thread_fixture.h"

namespace {

using namespace std::chrono_literals;

TEST_F(ThreadedCoreTest, UiActionsDuringARun) {
  UseCountingProgram();
  TCoreThread thread(cpu);
  thread.Running = 1;
  thread.Resume();
  const auto end = std::chrono::steady_clock::now() + 1500ms;
  int actions = 0;
  for (int i = 0; std::chrono::steady_clock::now() < end; ++i, ++actions) {
    {
      std::lock_guard<TCoreLock> guard(cpu.CoreLock);
      switch (i % 8) {
        case 0: cpu.Step(); break;
        case 1: if (i % 64 == 1) cpu.Reset(); break;
        case 2: EXPECT_FALSE(cpu.RegistersDumpText().empty()); break;
        case 3: EXPECT_FALSE(cpu.MemDumpText(0, 64).empty()); break;
        case 4: cpu.RaiseHardwareInterrupt(6); break;
        case 5: cpu.Regs[9] = i; break;
        case 6: EXPECT_FALSE(cpu.SpecialRegistersDumpText().empty()); break;
        default: break;
      }
    }
    // Device events store their fields without the lock, as the window does.
    cpu.Keyboard.PendingKey = static_cast<int8_t>('a' + i % 26);
    cpu.MouseThings.X = i % 640;
    cpu.MouseThings.Y = i % 480;
    cpu.MouseThings.Button = 1;
    if (i % 500 == 250) thread.Suspend();
    if (i % 500 == 0) thread.Resume();
  }
  thread.Resume();
  thread.Running = 0;
  ASSERT_TRUE(thread.WaitFor(30s));
  EXPECT_GT(actions, 100);
  EXPECT_EQ(thread.Running, 0);
}

}  // namespace
