// Every case of this folder built through kelmoc in a scratch folder: each file the
// build leaves must equal the case's expected file byte for byte, and the build must
// print the expected lines. Only `golden_tests --regenerate` makes a run's files the
// case's expected files instead, and then runs no test (README.md).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../common/run_tool.h"
#include "../common/scratch.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = TALVO_SOURCE_DIR;
const fs::path kGoldenDir = kSourceDir / "tests/golden";
// The case's description and the lines kelmoc printed; neither is a build output.
const char kCaseFile[] = "case";
const char kPrintedFile[] = "kelmoc.out";

struct TGoldenCase {
  fs::path Inputs;                     // every file of this folder is copied beside the build
  std::vector<std::string> Arguments;  // kelmoc's arguments, run in that folder
};

// "inputs FOLDER" (from the repository's root) and "kelmoc ARGUMENTS" (separated by
// blanks), one a line.
TGoldenCase ReadCase(const fs::path& folder) {
  TGoldenCase golden;
  std::istringstream lines(ReadBytes(folder / kCaseFile));
  std::string key;
  while (lines >> key) {
    std::string value;
    std::getline(lines >> std::ws, value);
    if (key == "inputs") golden.Inputs = kSourceDir / value;
    if (key == "kelmoc") {
      std::istringstream words(value);
      for (std::string word; words >> word;) golden.Arguments.push_back(word);
    }
  }
  return golden;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kGoldenDir)) {
    if (fs::exists(entry.path() / kCaseFile)) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The regular files directly inside a folder, by name, with their bytes.
std::map<std::string, std::string> FilesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().filename().string()] = ReadBytes(entry.path());
  }
  return files;
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  return "first difference at byte " + std::to_string(at) + " (expected " +
         std::to_string(expected.size()) + " bytes, got " + std::to_string(actual.size()) + ")";
}

// What building the case leaves: every file that is not an input, and what kelmoc
// printed as kPrintedFile. Empty when the case cannot be built.
std::map<std::string, std::string> BuildCase(const fs::path& folder, std::string& problem) {
  const TGoldenCase golden = ReadCase(folder);
  const std::map<std::string, std::string> inputs = FilesIn(golden.Inputs);
  if (golden.Arguments.empty()) problem = "no kelmoc line in " + (folder / kCaseFile).string();
  if (inputs.empty()) problem = "no input files in " + golden.Inputs.string();
  if (!problem.empty()) return {};

  // Relative names only, so that no output holds the scratch folder's path.
  TScratchFolder build;
  for (const auto& [name, bytes] : inputs) build.Write(name, bytes);
  std::vector<std::string> arguments = golden.Arguments;
  arguments.insert(arguments.begin(), kKelmoc);
  const TToolOutput run = RunTool(arguments, build.Path.string());
  std::map<std::string, std::string> outputs;
  for (const auto& [name, bytes] : FilesIn(build.Path)) {
    if (inputs.count(name) == 0) outputs[name] = bytes;
  }
  outputs[kPrintedFile] = run.Text;
  return outputs;
}

// Makes the outputs of every case its expected files; compares nothing.
int Regenerate() {
  for (const std::string& name : CaseNames()) {
    const fs::path folder = kGoldenDir / name;
    std::string problem;
    const std::map<std::string, std::string> outputs = BuildCase(folder, problem);
    if (!problem.empty()) {
      std::cerr << problem << "\n";
      return 1;
    }
    for (const auto& [file, bytes] : FilesIn(folder)) {
      if (file != kCaseFile) fs::remove(folder / file);
    }
    for (const auto& [file, bytes] : outputs) WriteBytes(folder / file, bytes);
    std::cout << "regenerated " << folder.string() << " (" << outputs.size() << " files)\n";
  }
  std::cout << "nothing was compared: read `git diff tests/golden` before committing\n";
  return 0;
}

class GoldenBuild : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenBuild, OutputsEqualTheExpectedFiles) {
  const fs::path folder = kGoldenDir / GetParam();
  std::string problem;
  const std::map<std::string, std::string> outputs = BuildCase(folder, problem);
  ASSERT_TRUE(problem.empty()) << problem;
  std::map<std::string, std::string> expected = FilesIn(folder);
  expected.erase(kCaseFile);
  for (const auto& [name, bytes] : expected) {
    const auto found = outputs.find(name);
    if (found == outputs.end()) {
      ADD_FAILURE() << name << " was not written";
    } else if (found->second != bytes) {
      ADD_FAILURE() << name << ": " << FirstDifference(bytes, found->second);
    }
  }
  for (const auto& [name, bytes] : outputs) {
    EXPECT_EQ(expected.count(name), 1u) << name << " was written but is not expected";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenBuild, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace

// The expected files change only on purpose: through the one argument --regenerate,
// which no test run passes.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc == 2 && std::strcmp(argv[1], "--regenerate") == 0) return Regenerate();
  if (argc > 1) {
    std::cerr << "usage: golden_tests [GOOGLETEST FLAGS] | golden_tests --regenerate\n";
    return 2;
  }
  return RUN_ALL_TESTS();
}
