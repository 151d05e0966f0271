#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <string>

#include "common/eventually.h"
#include "common/scratch.h"
#include "machine/program_words.h"
#include "simulator/model/run_control.h"
#include "simulator/model/sim_texts.h"
#include "small_core.h"

namespace {

using namespace program_words;
using State = TRunControl::State;

// A core whose every reset copies in the given program as its BIOS, read again from
// its file.
struct ProgramCore : SmallCore {
  explicit ProgramCore(const Image& program) {
    const std::string path = folder.File("program.bin");
    program.WriteTo(path);
    cpu.LoadBiosImage(path);
    cpu.Reset();
  }
  TScratchFolder folder;
};

// An endless "JMP R0 R0" at address 0.
struct LoopingCore : ProgramCore {
  LoopingCore() : ProgramCore(Image().Emit(Word(Jmp, 0, 0, 0))) {}
};

TEST(RunControl, RunPauseContinueResumeStopSequence) {
  LoopingCore core;
  TRunControl run(core.cpu);
  EXPECT_EQ(run.GetState(), State::Idle);

  EXPECT_EQ(run.RunFromStart(), kTextRunStarted);
  EXPECT_EQ(run.GetState(), State::Running);
  EXPECT_FALSE(run.RunButtonEnabled());
  EXPECT_FALSE(run.StepButtonEnabled());

  EXPECT_EQ(run.Pause(), kTextPaused);
  EXPECT_EQ(run.GetState(), State::Paused);
  // A second pause continues the run.
  EXPECT_EQ(run.Pause(), kTextContinued);
  EXPECT_EQ(run.GetState(), State::Running);
  EXPECT_EQ(run.Resume(), kTextResumed);
  EXPECT_EQ(run.GetState(), State::Running);

  EXPECT_EQ(run.Pause(), kTextPaused);
  // Stopping a paused run still ends and joins its thread.
  EXPECT_EQ(run.Stop(), kTextStopped);
  EXPECT_EQ(run.GetState(), State::Idle);
  EXPECT_TRUE(run.RunButtonEnabled());
  EXPECT_TRUE(run.StepButtonEnabled());
}

TEST(RunControl, CommandsWithoutARunChangeNothingButTheButtons) {
  LoopingCore core;
  TRunControl run(core.cpu);
  EXPECT_EQ(run.Pause(), "");
  EXPECT_EQ(run.Resume(), "");

  // A single step runs on the caller's thread and locks out run-from-start's button.
  core.cpu.Regs[1] = 7;
  run.SingleStep();
  EXPECT_FALSE(run.RunButtonEnabled());
  EXPECT_TRUE(run.StepButtonEnabled());

  // Reset acts only while a thread object exists.
  run.RequestReset();
  EXPECT_EQ(core.cpu.Regs[1], 7u);

  EXPECT_EQ(run.Stop(), "");
  EXPECT_TRUE(run.RunButtonEnabled());
}

TEST(RunControl, RunFromStartEndsTheOldRunAndStartsFromReset) {
  LoopingCore core;
  TRunControl run(core.cpu);
  run.RunFromStart();
  run.Pause();
  {
    std::lock_guard<TCoreLock> guard(core.cpu.CoreLock);
    core.cpu.Regs[5] = 99;
  }
  bool hookRan = false;
  run.RunFromStart([&] { hookRan = true; });
  EXPECT_TRUE(hookRan);
  EXPECT_EQ(run.GetState(), State::Running);
  // The new run's reset clears the registers.
  EXPECT_TRUE(Eventually([&] {
    std::lock_guard<TCoreLock> guard(core.cpu.CoreLock);
    return core.cpu.Regs[5] == 0;
  }));

  // Reset during the run is the run's thread's, and keeps the run going.
  {
    std::lock_guard<TCoreLock> guard(core.cpu.CoreLock);
    core.cpu.Regs[5] = 3;
  }
  run.RequestReset();
  EXPECT_TRUE(Eventually([&] {
    std::lock_guard<TCoreLock> guard(core.cpu.CoreLock);
    return core.cpu.Regs[5] == 0;
  }));
  EXPECT_EQ(run.GetState(), State::Running);
}

TEST(RunControl, AFailingStepFinishesTheRunAndFreesTheButtonsOnce) {
  ProgramCore core(Image().Emit(Word(0xFF, 0, 0, 0)));
  TRunControl run(core.cpu);
  run.RunFromStart();
  EXPECT_FALSE(run.TakeEndedRun());
  EXPECT_TRUE(Eventually([&] { return run.GetState() == State::Finished; }));
  EXPECT_TRUE(Eventually([&] { return run.TakeEndedRun(); }));
  EXPECT_FALSE(run.TakeEndedRun());
  EXPECT_TRUE(run.RunButtonEnabled());
  EXPECT_TRUE(run.StepButtonEnabled());
  // The finished run's thread stays: reset still acts, and stop ends it.
  EXPECT_TRUE(run.HasThread());
  EXPECT_EQ(run.Stop(), kTextStopped);
  EXPECT_EQ(run.GetState(), State::Idle);

  // A run stopped by the user is no run that ended by itself.
  LoopingCore looping;
  TRunControl stopped(looping.cpu);
  stopped.RunFromStart();
  stopped.Stop();
  EXPECT_FALSE(stopped.TakeEndedRun());
}

// A reset handed to the run's thread that finds the image gone ends the run, refused,
// told once and not as a run that ended by itself.
TEST(RunControl, ARefusedRequestedResetIsTakenOnce) {
  LoopingCore core;
  TRunControl run(core.cpu);
  run.RunFromStart();
  ASSERT_TRUE(Eventually([&] {
    std::lock_guard<TCoreLock> guard(core.cpu.CoreLock);
    return core.cpu.FetchedWords > 0;
  }));
  std::filesystem::remove(core.folder.File("program.bin"));
  run.RequestReset();
  EXPECT_TRUE(Eventually([&] { return run.TakeRefusedRun(); }));
  EXPECT_FALSE(run.TakeRefusedRun());
  EXPECT_TRUE(Eventually([&] { return run.HasThread() && run.GetState() == State::Finished; }));
  EXPECT_FALSE(run.TakeEndedRun());
  // Without a thread there is nothing to ask.
  run.Stop();
  run.RequestReset();
}

}  // namespace
