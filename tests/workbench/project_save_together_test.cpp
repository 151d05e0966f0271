// A project file and its options file are saved together: when the second cannot take
// its place after both were written out, the first gets its old bytes back, or goes
// when there was none. A disk that fails at that very moment is the test shim's: the
// test runs itself again with the shim failing the chosen link into place.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "../common/run_tool.h"
#include "test_files.h"
#include "workbench/model/project.h"

namespace {

namespace fs = std::filesystem;

struct TTogetherCase {
  const char* Fail;  // the link into place that fails: the project's first, the options' second
  std::optional<std::string> OldProject;
  std::optional<std::string> OldOptions;
  const char* FailedFile;
};

const std::string kOldOptions(24, '\1');
const TTogetherCase kCases[] = {
    {"link:2", "old.casm\r\n", kOldOptions, "p.tvxPrj.set"},
    {"link:2", "old.casm\r\n", std::nullopt, "p.tvxPrj.set"},
    {"link:2", std::nullopt, std::nullopt, "p.tvxPrj.set"},
    {"link:1", "old.casm\r\n", kOldOptions, "p.tvxPrj"},
};

constexpr char kCaseVariable[] = "TALVO_TEST_SAVE_CASE";

// In the run the shim fails a link in: the save fails and leaves both files as they were.
void SaveWithAFailingDisk(const TTogetherCase& c) {
  TScratchFolder dir;
  const std::string project = dir.File("p.tvxPrj");
  const std::string options = dir.File("p.tvxPrj.set");
  if (c.OldProject) WriteBytes(project, *c.OldProject);
  if (c.OldOptions) WriteBytes(options, *c.OldOptions);
  TProject saved;
  saved.SetFiles({"new.casm"});
  try {
    saved.SaveToFile(project);
    ADD_FAILURE() << "the save went through";
  } catch (const TFileNotSaved& error) {
    EXPECT_EQ(error.Failure.Path, dir.File(c.FailedFile));
    EXPECT_EQ(error.Failure.Error, EIO);
  }
  EXPECT_EQ(Exists(project) ? std::optional(ReadBytes(project)) : std::nullopt, c.OldProject);
  EXPECT_EQ(Exists(options) ? std::optional(ReadBytes(options)) : std::nullopt, c.OldOptions);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path), fs::directory_iterator()),
            (c.OldProject ? 1 : 0) + (c.OldOptions ? 1 : 0));
}

TEST(ProjectSaveTogether, AFileThatCannotTakeItsPlaceChangesNeither) {
  if (const char* chosen = std::getenv(kCaseVariable)) {
    SaveWithAFailingDisk(kCases[std::atoi(chosen)]);
    return;
  }
  const std::string self = fs::read_symlink("/proc/self/exe");
  const char* preload = std::getenv("LD_PRELOAD");
  const char* asan = std::getenv("ASAN_OPTIONS");
  for (size_t i = 0; i < std::size(kCases); ++i) {
    SCOPED_TRACE(i);
    const TToolOutput run = RunTool({"env", "LD_PRELOAD=" + std::string(TALVO_FILE_CALLS_SHIM) + (preload ? ":" + std::string(preload) : ""),
                                     "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":verify_asan_link_order=0",
                                     "TALVO_SHIM_FAIL=" + std::string(kCases[i].Fail),
                                     std::string(kCaseVariable) + "=" + std::to_string(i), self,
                                     "--gtest_filter=ProjectSaveTogether.*", "--gtest_repeat=1"});
    EXPECT_EQ(run.Exit, 0) << run.Text;
    EXPECT_NE(run.Text.find("[  PASSED  ] 1 test"), std::string::npos) << run.Text;
  }
}

}  // namespace
