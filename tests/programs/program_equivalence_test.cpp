// Every test program ends alike one Step at a time, in one Run and in Runs of random
// lengths, at step limits that stop it early, in the middle of its loops and after
// its end or its failing step; the drives' image files end alike too.

#include <gtest/gtest.h>

#include <filesystem>

#include "../machine/machine_state.h"
#include "../machine/step_or_run.h"
#include "program_runner.h"

namespace {

class ProgramEquivalenceTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ProgramEquivalenceTest, StepAndRunEndAlike) {
  TScratchFolder scratch;
  TPreparedProgram program;
  std::vector<std::string> problems;
  ASSERT_TRUE(PrepareTestProgram(GetParam(), scratch, program, problems)) << problems.front();
  // Made once: each limit sets them up and resets them again, and what a reset keeps
  // (the devices) is the same in all three after the limit before.
  THeadlessHost hosts[3] = {{1, 1}, {1, 1}, {1, 1}};
  TTALVOCPU cpus[3];
  for (const uint64_t limit : {uint64_t{1}, uint64_t{2}, uint64_t{3}, uint64_t{7}, uint64_t{50}, uint64_t{400},
                               uint64_t{5000}}) {
    TOutcome outcomes[3];
    for (int i = 0; i < 3; ++i) {
      const std::string tag = std::to_string(limit) + "_" + std::to_string(i);
      ASSERT_TRUE(SetUpMachine(program, cpus[i], hosts[i], scratch.File("floppy" + tag), scratch.File("disk" + tag),
                               problems));
      outcomes[i] = Drive(cpus[i], limit, {}, i == 0 ? 0 : i == 1 ? 1 : limit + 7);
    }
    for (int i = 1; i < 3; ++i) {
      EXPECT_EQ(outcomes[i].Steps, outcomes[0].Steps) << "limit " << limit << " way " << i;
      EXPECT_EQ(outcomes[i].Failed, outcomes[0].Failed) << "limit " << limit << " way " << i;
      EXPECT_TRUE(EndedAlike(cpus[i], hosts[i], cpus[0], hosts[0])) << "limit " << limit << " way " << i;
    }
    for (TTALVOCPU& cpu : cpus) {
      cpu.Floppy.Close();
      cpu.HardDisk.Close();
    }
    for (const char* drive : {"floppy", "disk"}) {
      const std::string first = ReadBytes(scratch.File(drive + std::to_string(limit) + "_0"));
      for (int i = 1; i < 3; ++i)
        EXPECT_TRUE(ReadBytes(scratch.File(drive + std::to_string(limit) + "_" + std::to_string(i))) == first)
            << drive << " limit " << limit << " way " << i;
    }
  }
}

std::string ProgramName(const ::testing::TestParamInfo<std::string>& info) {
  return std::filesystem::path(info.param).stem().string();
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramEquivalenceTest,
                         ::testing::ValuesIn(ListTestPrograms(TALVO_SOURCE_DIR "/tests/programs")), ProgramName);

}  // namespace
