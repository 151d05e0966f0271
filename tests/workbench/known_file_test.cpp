// An editor's file is the one it last read or wrote until something else stands under
// its name: rewritten, replaced, or only touched, each tells; a file removed since
// does not, and is written anew.

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>

#include "test_files.h"
#include "workbench/model/known_file.h"

namespace {

// A chosen modification time, so that no change depends on the clock's steps.
void SetModified(const std::string& path, long nanoseconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(KnownFile, TellsAnotherFileUnderTheName) {
  const std::string kOld = "LD R1 1\r\n";
  struct TCase {
    const char* Name;
    bool ThereWhenRemembered;
    std::function<void(const TScratchFolder&, const std::string& path)> Change;
    bool Changed;
  };
  const TCase cases[] = {
      {"untouched", true, [](auto&, auto&) {}, false},
      {"rewritten in place at the same time", true,
       [](auto&, const std::string& path) {
         WriteBytes(path, "LD R1 1\r\nADDED\r\n");
         SetModified(path, 500);
       },
       true},
      {"touched a nanosecond later", true, [](auto&, const std::string& path) { SetModified(path, 501); }, true},
      {"replaced by the same bytes at the same time", true,
       [&](const TScratchFolder& dir, const std::string& path) {
         const std::string other = dir.Write("other", kOld);
         SetModified(other, 500);
         ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
       },
       true},
      {"removed", true, [](auto&, const std::string& path) { std::filesystem::remove(path); }, false},
      {"made where none was", false, [](auto&, const std::string& path) { WriteBytes(path, "x"); }, true},
      {"still none", false, [](auto&, auto&) {}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TScratchFolder dir;
    const std::string path = dir.File("a.casm");
    if (c.ThereWhenRemembered) {
      WriteBytes(path, kOld);
      SetModified(path, 500);
    }
    TKnownFile known;
    known.Remember(path);
    c.Change(dir, path);
    EXPECT_EQ(known.ChangedOnDisk(path), c.Changed);
  }
}

}  // namespace
