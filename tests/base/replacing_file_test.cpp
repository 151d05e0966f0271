// The one writer every save and every output goes through: the file's own protection
// decides, any name works, links are written through, and a failed write loses no old
// byte. (Interruptions: kelmoc's tests, which stop a build at a moment they choose.)

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "../common/child_process.h"
#include "../common/other_user.h"
#include "../common/scratch.h"
#include "base/replacing_file.h"

namespace {

namespace fs = std::filesystem;

class ReplacingFile : public ScratchFolderTest {
 protected:
  // Some tests act as another user, who must reach the files.
  ReplacingFile() : ScratchFolderTest(PlaceTheOtherUserReaches()) {}
  std::set<std::string> Names(const fs::path& folder) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
  }
  // A folder of the scratch folder, with its owner and mode.
  fs::path Folder(const std::string& name, uid_t owner, mode_t mode) const {
    const fs::path folder = dir_ / name;
    fs::create_directory(folder);
    EXPECT_EQ(::chown(folder.c_str(), owner, owner), 0);
    EXPECT_EQ(::chmod(folder.c_str(), mode), 0);
    return folder;
  }
  static void Own(const fs::path& file, uid_t owner, mode_t mode) {
    EXPECT_EQ(::chown(file.c_str(), owner, owner), 0);
    EXPECT_EQ(::chmod(file.c_str(), mode), 0);
  }
  static mode_t ModeOf(const fs::path& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
  }
  // Another user must reach the files.
  void OpenToOthers() const {
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    ASSERT_TRUE(TheOtherUserReaches(dir_)) << "another user cannot reach " << dir_;
  }
};

// What an in-place write would be allowed decides, not the folder: a read-only file is
// kept in a folder the user may write, and a writable one is written in a folder the
// user may not (in place, growing or shrinking).
TEST_F(ReplacingFile, TheFilesOwnProtectionDecides) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as another user";
  ASSERT_NO_FATAL_FAILURE(OpenToOthers());
  constexpr uid_t kUser = TOtherUser::kUser;
  const std::string old(5000, 'o');
  const std::string shortText = "new";
  const std::string longText(3 << 20, 'n');
  struct TCase {
    const char* Name;
    uid_t FolderOwner;
    mode_t FolderMode;
    uid_t FileOwner;
    int FileMode;  // -1: no file yet
    const std::string& Bytes;
    bool Durable;
    int Error;
  };
  const TCase cases[] = {
      {"read-only file, writable folder", kUser, 0755, kUser, 0444, shortText, true, EACCES},
      {"read-only build output, writable folder", kUser, 0755, kUser, 0444, longText, false, EACCES},
      {"own file, root's folder, shrinking", 0, 0755, kUser, 0644, shortText, true, 0},
      {"shared output, read-only folder, growing", kUser, 0555, kUser, 0666, longText, false, 0},
      {"own file, own folder", kUser, 0755, kUser, 0640, longText, true, 0},
      {"no file, root's folder", 0, 0755, kUser, -1, shortText, true, EACCES},
      {"root's shared file, sticky folder", 0, 01777, 0, 0666, longText, true, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = Folder(c.Name, c.FolderOwner, c.FolderMode);
    const fs::path file = folder / "s.casm";
    if (c.FileMode >= 0) {
      WriteBytes(file, old);
      Own(file, c.FileOwner, static_cast<mode_t>(c.FileMode));
    }
    int error = -2;
    {
      TOtherUser user;
      ASSERT_TRUE(user.Active);
      ReplaceFile(file.string(), c.Bytes, &error, c.Durable);
    }
    EXPECT_EQ(error, c.Error);
    if (c.FileMode < 0) {
      EXPECT_TRUE(Names(folder).empty());
      continue;
    }
    const std::string bytes = ReadBytes(file);
    EXPECT_TRUE(bytes == (c.Error == 0 ? c.Bytes : old)) << bytes.size() << " bytes";
    EXPECT_EQ(ModeOf(file), static_cast<mode_t>(c.FileMode));
    EXPECT_EQ(Names(folder), std::set<std::string>{"s.casm"});
  }
}

// Written in place, a file keeps its old bytes through a full disk, found before any of
// them is touched, and through a write that fails halfway, after which they are put back.
TEST_F(ReplacingFile, InPlaceTheOldBytesSurviveAFailedWrite) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as another user and to mount";
  ASSERT_NO_FATAL_FAILURE(OpenToOthers());
  const fs::path folder = Folder("root's", 0, 0755);
  const fs::path file = folder / "kept.txt";
  const std::string old(32 << 10, 'o');
  WriteBytes(file, old);
  Own(file, TOtherUser::kUser, 0644);

  // The file size limit stops the write after 64 KiB, well past the old bytes.
  const int halfway = ExitOfChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 << 10, 64 << 10};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    TOtherUser user;
    int error = 0;
    const bool written = ReplaceFile(file.string(), std::string(1 << 20, 'x'), &error, true);
    return user.Active && !written ? error : 0;
  });
  EXPECT_EQ(halfway, EFBIG);
  EXPECT_TRUE(ReadBytes(file) == old);

  // A full disk (its folder root's), in a mount namespace of the child's own.
  const int full = ExitOfChild([&] {
    const fs::path disk = dir_ / "disk";
    fs::create_directory(disk);
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0) {
      return 200;
    }
    const fs::path inside = disk / "kept.txt";
    WriteBytes(inside, old);
    Own(inside, TOtherUser::kUser, 0644);
    WriteBytes(disk / "filler", std::string(64 << 10, 'f'));  // takes what is left
    TOtherUser user;
    TReplacingFile out(inside.string());
    out.Write(std::string(100 << 10, 'x'));
    const bool finished = out.Finish();
    const int error = out.Error();
    return !user.Active || finished || ReadBytes(inside) != old ? 201 : error;
  });
  if (full == 200) GTEST_SKIP() << "cannot mount a small file system here";
  EXPECT_EQ(full, ENOSPC);
}

// A link is written through to where it leads, even where nothing is there yet; the
// link stays a link.
TEST_F(ReplacingFile, WritesWhereALinkLeads) {
  fs::create_directory(dir_ / "sub");
  struct TCase {
    const char* Link;
    const char* LinkTarget;
    const char* Written;  // the file the bytes must land in
    bool Exists;
  };
  const TCase cases[] = {
      {"to-file", "file.txt", "file.txt", true},
      {"dangling", "new.txt", "new.txt", false},
      {"sub/up", "../up.txt", "up.txt", false},
      {"chain", "to-chain-end", "chain-end.txt", false},
      {"to-chain-end", "chain-end.txt", "chain-end.txt", false},
      {"absolute", "", "absolute.txt", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Link);
    const std::string target = *c.LinkTarget != '\0' ? c.LinkTarget : PathOf(c.Written);
    if (c.Exists) WriteBytes(dir_ / c.Written, "old");
    fs::create_symlink(target, dir_ / c.Link);
  }
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Link);
    int error = -1;
    EXPECT_TRUE(ReplaceFile(PathOf(c.Link), std::string("new ") + c.Link, &error));
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(fs::is_symlink(dir_ / c.Link));
    EXPECT_EQ(ReadBytes(dir_ / c.Written), std::string("new ") + c.Link);
  }
}

// Any name the file system takes can be written and written again: the temporary
// file's name never makes it too long.
TEST_F(ReplacingFile, TakesAnyNameTheFileSystemTakes) {
  const std::vector<std::string> names = {std::string(255, 'n'), std::string(250, 'm') + ".casm",
                                          "Straße.casm", "\xf0\x9f\x98\x80.tvxPrj", "x\xff" "y.casm", "a b"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    for (const char* bytes : {"first", "second"}) {
      int error = -1;
      EXPECT_TRUE(ReplaceFile(PathOf(name), bytes, &error, true));
      EXPECT_EQ(error, 0);
      EXPECT_EQ(ReadBytes(dir_ / name), bytes);
    }
  }
  EXPECT_EQ(Names(dir_), std::set<std::string>(names.begin(), names.end()));
}

}  // namespace
