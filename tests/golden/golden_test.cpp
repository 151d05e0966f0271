// Every case of this folder built through kelmoc in a scratch folder: each file the
// build leaves must equal the case's expected file byte for byte, and the build must
// print the expected lines. With TALVO_GOLDEN_UPDATE=1 the run's files become the
// case's expected files instead (README.md).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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
  fs::path Inputs;        // every file of this folder is copied beside the build
  std::string Arguments;  // kelmoc's command line, run in that folder
};

// "inputs FOLDER" (from the repository's root) and "kelmoc ARGUMENTS", one a line.
TGoldenCase ReadCase(const fs::path& folder) {
  TGoldenCase golden;
  std::istringstream lines(ReadBytes(folder / kCaseFile));
  std::string key;
  while (lines >> key) {
    std::string value;
    std::getline(lines >> std::ws, value);
    if (key == "inputs") golden.Inputs = kSourceDir / value;
    if (key == "kelmoc") golden.Arguments = value;
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

void Regenerate(const fs::path& folder, const std::map<std::string, std::string>& outputs) {
  for (const auto& [name, bytes] : FilesIn(folder)) {
    if (name != kCaseFile) fs::remove(folder / name);
  }
  for (const auto& [name, bytes] : outputs) WriteBytes(folder / name, bytes);
}

class GoldenBuild : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenBuild, OutputsEqualTheExpectedFiles) {
  const fs::path folder = kGoldenDir / GetParam();
  const TGoldenCase golden = ReadCase(folder);
  ASSERT_FALSE(golden.Arguments.empty()) << "no kelmoc line in " << folder / kCaseFile;
  const std::map<std::string, std::string> inputs = FilesIn(golden.Inputs);
  ASSERT_FALSE(inputs.empty()) << "no input files in " << golden.Inputs;

  // Relative names only, so that no output holds the scratch folder's path.
  TScratchFolder build;
  for (const auto& [name, bytes] : inputs) build.Write(name, bytes);
  const TToolOutput run = RunTool("cd '" + build.Path.string() + "' && " + kKelmoc + " " + golden.Arguments);
  std::map<std::string, std::string> outputs;
  for (const auto& [name, bytes] : FilesIn(build.Path)) {
    if (inputs.count(name) == 0) outputs[name] = bytes;
  }
  outputs[kPrintedFile] = run.Text;

  if (std::getenv("TALVO_GOLDEN_UPDATE") != nullptr) {
    Regenerate(folder, outputs);
    std::cout << "regenerated " << folder << "\n";
    return;
  }
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
