// An editor's file is the one it last read or wrote until something else stands under
// its name: rewritten, replaced, or only touched, each tells; a file removed since
// does not, and is written anew.

#include <fcntl.h>
#include <sys/stat.h>

#include <functional>

#include "test_files.h"
#include "workbench/model/known_file.h"

namespace {

// With a chosen modification time, so that no change depends on the clock's steps.
void WriteStamped(const std::string& path, const std::string& bytes, long nanoseconds = 500) {
  WriteBytes(path, bytes);
  const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(KnownFile, TellsAnotherFileUnderTheName) {
  const std::string old = "LD R1 1\r\n";
  const struct {
    const char* Name;
    bool ThereWhenRemembered;
    std::function<void(const std::string& path)> Change;
    bool Changed;
  } cases[] = {
      {"untouched", true, [](auto&) {}, false},
      {"rewritten in place at the same time", true, [](auto& path) { WriteStamped(path, "LD R1 1\r\nADDED\r\n"); }, true},
      {"touched a nanosecond later", true, [&](auto& path) { WriteStamped(path, old, 501); }, true},
      {"replaced by the same bytes at the same time", true,
       [&](auto& path) {
         WriteStamped(path + ".new", old);
         std::filesystem::rename(path + ".new", path);
       },
       true},
      {"removed", true, [](auto& path) { std::filesystem::remove(path); }, false},
      {"made where none was", false, [](auto& path) { WriteStamped(path, "x"); }, true},
      {"still none", false, [](auto&) {}, false},
  };
  TScratchFolder dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = dir.File(c.Name);
    if (c.ThereWhenRemembered) WriteStamped(path, old);
    TKnownFile known;
    known.Remember(path);
    c.Change(path);
    EXPECT_EQ(known.ChangedOnDisk(path), c.Changed);
  }
}

}  // namespace
