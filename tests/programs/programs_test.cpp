// Every program in this folder, assembled by the real assembler and run on the real
// core; each program states the machine state it must end in.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "../common/scratch.h"
#include "program_runner.h"

namespace {

class ProgramTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ProgramTest, EndsInTheStateItExpects) {
  for (const std::string& problem : RunTestProgram(GetParam())) ADD_FAILURE() << problem;
}

std::string ProgramName(const ::testing::TestParamInfo<std::string>& info) {
  return std::filesystem::path(info.param).stem().string();
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramTest,
                         ::testing::ValuesIn(ListTestPrograms(TALVO_SOURCE_DIR "/tests/programs")), ProgramName);

}  // namespace

namespace {

// The runner must catch what a program gets wrong, or every program passes.
std::vector<std::string> RunSource(const std::string& name, const std::string& text) {
  TScratchFolder folder;
  return RunTestProgram(folder.Write(name, text));
}

TEST(ProgramRunner, ReportsWhatAProgramGetsWrong) {
  const auto wrongValue = RunSource("runner_wrong_value.casm", "// expect R1 6\r\nLD R1 5\r\nLD R2 1\r\n");
  ASSERT_EQ(wrongValue.size(), 1u);
  EXPECT_NE(wrongValue[0].find("R1 is 00000000000000000000000000000005"), std::string::npos) << wrongValue[0];

  const auto stray = RunSource("runner_stray.casm", "// expect others zero\r\n// expect R1 5\r\nLD R1 5\r\nLD R2 1\r\n");
  ASSERT_EQ(stray.size(), 1u);
  EXPECT_NE(stray[0].find("R2 is"), std::string::npos);

  EXPECT_EQ(RunSource("runner_failed.casm", "// expect failed\r\nLD R1 5\r\n").size(), 1u);
  EXPECT_EQ(RunSource("runner_bad_line.casm", "// expect R1 five\r\nLD R1 5\r\n").size(), 1u);
  EXPECT_EQ(RunSource("runner_no_asm.casm", "LD R1\r\n").size(), 1u);
}

}  // namespace
