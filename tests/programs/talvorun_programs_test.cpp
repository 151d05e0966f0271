// The test programs through talvorun: every program that needs no window set-up (no
// changed port, no key or mouse waiting) ends in the state it expects, with the
// devices at their default ports and the drives on image files checked afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "../common/run_tool.h"
#include "isa/special_registers.h"
#include "program_runner.h"
#include "talvorun_command.h"

namespace {

const std::string kPrograms = TALVO_SOURCE_DIR "/tests/programs";

bool RunsHeadless(const std::string& sourcePath) {
  TProgramSpec spec;
  std::string error;
  return ParseProgramSpec(ReadBytes(sourcePath), spec, error) && spec.Ports.empty() && spec.Key == 0 &&
         !spec.HasMouse;
}

std::vector<std::string> HeadlessPrograms() {
  std::vector<std::string> programs;
  for (const std::string& path : ListTestPrograms(kPrograms))
    if (RunsHeadless(path)) programs.push_back(path);
  return programs;
}

// Reads talvorun's report into an end state; false when a line makes no sense.
bool ReadReport(const std::string& text, TEndState& end, std::map<uint64_t, int>& memory, bool& failed) {
  std::istringstream lines(text);
  std::string line;
  bool stopped = false;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string name, value;
    words >> name;
    if (name == "steps") continue;
    if (name == "stop") {
      words >> value;
      failed = value == "failed";
      stopped = true;
    } else if (name == "mem") {
      words >> value;
      uint64_t at = std::stoull(value, nullptr, 16);
      std::string byte;
      while (words >> byte) memory[at++] = std::stoi(byte, nullptr, 16);
    } else {
      const int reg = SpecRegisterNumber(name);
      if (reg < 0 || !(words >> value) || value.size() != 32) return false;
      end.Registers[reg] = MakeValue128(std::stoull(value.substr(0, 16), nullptr, 16),
                                        std::stoull(value.substr(16), nullptr, 16));
    }
  }
  return stopped;
}

class TalvorunProgramTest : public ::testing::TestWithParam<std::string> {};

TEST_P(TalvorunProgramTest, EndsInTheStateItExpects) {
  TScratchFolder scratch;
  TPreparedProgram program;
  std::vector<std::string> problems;
  ASSERT_TRUE(PrepareTestProgram(GetParam(), scratch, program, problems)) << problems.front();
  // A word with no instruction after the code ends the run where the in-process
  // runner stops, at the end of the code.
  WriteBytes(program.ImagePath, program.Image + std::string("\0\0\0\xFF", 4));

  std::vector<std::string> arguments = {kTalvorun, "--steps", std::to_string(kTestProgramStepLimit)};
  if (program.Spec.Floppy) arguments.insert(arguments.end(), {"--floppy", program.FloppyPath});
  if (program.Spec.Disk) arguments.insert(arguments.end(), {"--disk", program.DiskPath});
  for (const TExpectedBytes& range : program.Spec.Memory)
    arguments.insert(arguments.end(),
                     {"--dump", std::to_string(range.Address) + ":" + std::to_string(range.Bytes.size())});
  arguments.push_back(program.ImagePath);
  const TToolOutput out = RunTool(arguments);
  ASSERT_EQ(out.Exit, 0) << out.Text;

  TEndState end;
  std::map<uint64_t, int> memory;
  bool failed = false;
  ASSERT_TRUE(ReadReport(out.Text, end, memory, failed)) << out.Text;
  ASSERT_TRUE(failed) << "still running after " << kTestProgramStepLimit << " steps";
  end.Failed = end.Registers[256 + isa::IP] != program.Image.size();
  end.MemoryByte = [&memory](uint64_t at) { return memory.count(at) ? memory[at] : -1; };
  CompareEndState(program, end, problems);
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
}

std::string ProgramName(const ::testing::TestParamInfo<std::string>& info) {
  return std::filesystem::path(info.param).stem().string();
}

INSTANTIATE_TEST_SUITE_P(Programs, TalvorunProgramTest, ::testing::ValuesIn(HeadlessPrograms()), ProgramName);

}  // namespace
