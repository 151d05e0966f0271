// A project file and its options file are saved together: when the second cannot take
// its place after both were written out, the first gets its old bytes back, forced to
// the disk, or goes when there was none; where even that fails, the failure says so
// and where the project's old text is kept. A disk that fails at that very moment is
// the test shim's, linked in: it fails the chosen links into place.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "../common/file_calls.h"
#include "../common/state_home.h"
#include "base/file_error.h"
#include "test_files.h"
#include "workbench/model/project.h"

namespace {

namespace fs = std::filesystem;

// The failure of saving a project of one entry to `project`, or nothing when it saved.
std::optional<TSaveFailure> SaveFails(const std::string& project) {
  TProject saving;
  saving.SetFiles({"new.casm"});
  try {
    saving.SaveToFile(project);
  } catch (const TFileNotSaved& error) {
    return error.Failure;
  }
  return std::nullopt;
}

TEST(ProjectSaveTogether, AFileThatCannotTakeItsPlaceChangesNeither) {
  const std::string oldProject = "old.casm\r\n", oldOptions(24, '\1');
  const struct {
    const char* Failing;  // the links into place that fail: the project's first, the options' second
    bool Old;             // both files there before
    const char* FailedFile;
    bool PutBackFails = false;  // the project's own, third
  } cases[] = {
      {"link:2", true, "p.tvxPrj.set"},
      {"link:2", false, "p.tvxPrj.set"},
      {"link:1", true, "p.tvxPrj"},
      {"link:2:2", true, "p.tvxPrj.set", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Failing) + (c.Old ? " over old files" : ""));
    TScratchFolder dir, state;
    const TStateHome home(state.Path.string());
    std::map<std::string, std::string> before;
    if (c.Old) before = {{"p.tvxPrj", oldProject}, {"p.tvxPrj.set", oldOptions}};
    for (const auto& [name, bytes] : before) dir.Write(name, bytes);
    TalvoShimForgetSyncs();
    std::optional<TSaveFailure> failure;
    {
      const TFailingCalls failing(c.Failing);
      failure = SaveFails(dir.File("p.tvxPrj"));
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Path, dir.File(c.FailedFile));
    EXPECT_EQ(failure->Error, EIO);
    EXPECT_EQ(failure->Changed, c.PutBackFails);
    EXPECT_EQ(failure->KeptCopy.empty() ? "(none)" : ReadBytes(failure->KeptCopy), c.PutBackFails ? oldProject : "(none)");
    if (c.PutBackFails) before["p.tvxPrj"] = "new.casm\r\n";
    EXPECT_EQ(FilesUnder(dir.Path), before);
    // Put back, the old bytes are on the disk again.
    if (c.Old && c.FailedFile == std::string("p.tvxPrj.set")) {
      EXPECT_TRUE(WasSynced(dir.File("p.tvxPrj")));
    }
  }
}

// Where the options file's name leads to the project file itself, saving both would
// leave that one file holding the options: nothing is written, and the failure says why.
TEST(ProjectSaveTogether, TheProjectAndItsOptionsAreNeverOneFile) {
  const struct {
    const char* Name;
    bool Project;  // the project file is there before
    bool Link;     // the options file's name a link to it, else a second hard link
  } cases[] = {
      {"a link", true, true},
      {"a hard link", true, false},
      {"a link to a project not there yet", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScratchFolder dir;
    const std::string project = dir.File("p.tvxPrj");
    const std::string options = dir.File("p.tvxPrj.set");
    if (c.Project) WriteBytes(project, "old.casm\r\n");
    c.Link ? fs::create_symlink("p.tvxPrj", options) : fs::create_hard_link(project, options);
    const std::optional<TSaveFailure> failure = SaveFails(project);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Path, options);
    EXPECT_EQ(failure->Error, kOneFileTwice);
    EXPECT_FALSE(failure->Changed);
    EXPECT_EQ(Exists(project) ? ReadBytes(project) : "(none)", c.Project ? "old.casm\r\n" : "(none)");
  }
}

}  // namespace
