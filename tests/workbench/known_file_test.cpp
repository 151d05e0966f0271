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

// Sets the file's modification time to `seen`'s, moved by `nanoseconds`.
void SetModified(const std::string& path, const TFileIdentity& seen, long nanoseconds = 0) {
  timespec times[2] = {{0, UTIME_OMIT}, {seen.ModifiedSeconds, seen.ModifiedNanoseconds}};
  times[1].tv_nsec += nanoseconds;
  if (times[1].tv_nsec >= 1000000000) {
    times[1].tv_nsec -= 1000000000;
    ++times[1].tv_sec;
  }
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(KnownFile, TellsAnotherFileUnderTheName) {
  struct TCase {
    const char* Name;
    bool ThereWhenRemembered;
    // What another program does to the file; `seen` is the file as remembered.
    std::function<void(const TScratchFolder&, const std::string& path, const TFileIdentity& seen)> Change;
    bool Changed;
  };
  const TCase cases[] = {
      {"untouched", true, [](auto&, auto&, auto&) {}, false},
      {"rewritten in place, its time put back", true,
       [](auto&, const std::string& path, const TFileIdentity& seen) {
         WriteBytes(path, "LD R1 1\r\nADDED\r\n");
         SetModified(path, seen);
       },
       true},
      {"touched a nanosecond later", true,
       [](auto&, const std::string& path, const TFileIdentity& seen) { SetModified(path, seen, 1); }, true},
      {"replaced by the same bytes at the same time", true,
       [](const TScratchFolder& dir, const std::string& path, const TFileIdentity& seen) {
         const std::string other = dir.Write("other", "LD R1 1\r\n");
         SetModified(other, seen);
         ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
       },
       true},
      {"removed", true, [](auto&, const std::string& path, auto&) { std::filesystem::remove(path); }, false},
      {"made where none was", false, [](auto&, const std::string& path, auto&) { WriteBytes(path, "x"); }, true},
      {"still none", false, [](auto&, auto&, auto&) {}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TScratchFolder dir;
    const std::string path = dir.File("a.casm");
    if (c.ThereWhenRemembered) WriteBytes(path, "LD R1 1\r\n");
    TKnownFile known;
    known.Remember(path);
    const TFileIdentity seen = IdentityOf(path).value_or(TFileIdentity{});
    c.Change(dir, path, seen);
    EXPECT_EQ(known.ChangedOnDisk(path), c.Changed);
    // What it writes next is what it knows from then on.
    WriteBytes(path, "LD R2 2\r\n");
    known.Remember(path);
    EXPECT_FALSE(known.ChangedOnDisk(path));
  }
}

}  // namespace
