// A project file and its options file are saved together: when the second cannot take
// its place after both were written out, the first gets its old bytes back, or goes
// when there was none. A disk that fails at that very moment is the test shim's,
// linked in: in a child, it fails the chosen link into place.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "../common/child_process.h"
#include "test_files.h"
#include "workbench/model/project.h"

namespace {

namespace fs = std::filesystem;

TEST(ProjectSaveTogether, AFileThatCannotTakeItsPlaceChangesNeither) {
  struct TCase {
    const char* Fail;  // the link into place that fails: the project's first, the options' second
    std::optional<std::string> OldProject;
    std::optional<std::string> OldOptions;
    const char* FailedFile;
  };
  const std::string kOldOptions(24, '\1');
  const TCase cases[] = {
      {"link:2", "old.casm\r\n", kOldOptions, "p.tvxPrj.set"},
      {"link:2", std::nullopt, std::nullopt, "p.tvxPrj.set"},
      {"link:1", "old.casm\r\n", kOldOptions, "p.tvxPrj"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Fail) + (c.OldProject ? " over old files" : ""));
    TScratchFolder dir;
    const std::string project = dir.File("p.tvxPrj");
    const std::string options = dir.File("p.tvxPrj.set");
    if (c.OldProject) WriteBytes(project, *c.OldProject);
    if (c.OldOptions) WriteBytes(options, *c.OldOptions);
    const int saved = ExitOfChild([&] {
      ::setenv("TALVO_SHIM_FAIL", c.Fail, 1);
      TProject saving;
      saving.SetFiles({"new.casm"});
      try {
        saving.SaveToFile(project);
      } catch (const TFileNotSaved& error) {
        return error.Failure.Path == dir.File(c.FailedFile) && error.Failure.Error == EIO ? 0 : 2;
      }
      return 1;
    });
    EXPECT_EQ(saved, 0) << "1: saved, 2: another file or reason";
    EXPECT_EQ(Exists(project) ? std::optional(ReadBytes(project)) : std::nullopt, c.OldProject);
    EXPECT_EQ(Exists(options) ? std::optional(ReadBytes(options)) : std::nullopt, c.OldOptions);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path), fs::directory_iterator()),
              (c.OldProject ? 1 : 0) + (c.OldOptions ? 1 : 0));
  }
}

}  // namespace
