// The one writer every save and every output goes through: the file's own protection
// decides, the file stays the user's (owner, group, mode, ACL, extended attributes,
// hard links), any name works, links are written through, a failed write loses no old
// byte and keeps no space, and no signal or kill tears a file written in place.
// (Interrupted builds: kelmoc's tests, which stop a build at a moment they choose.)

#include <grp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "../common/child_process.h"
#include "../common/other_user.h"
#include "../common/run_tool.h"
#include "../common/scratch.h"
#include "../common/state_home.h"
#include "base/file_error.h"
#include "base/interrupt_cleanup.h"
#include "base/replacing_file.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherMember = 4243;  // a second member of the shared group
constexpr gid_t kShared = 4242;

// Runs `job` in a child process as the user, with the groups given (all of them, the
// first as its own): the job's result, or 250 when the child could not become him.
int AsUser(uid_t user, const std::vector<gid_t>& groups, const std::function<int()>& job) {
  return ExitOfChild([&] {
    if (::setgroups(groups.size(), groups.data()) != 0 || ::setresgid(groups[0], groups[0], groups[0]) != 0 ||
        ::setresuid(user, user, user) != 0) {
      return 250;
    }
    return job();
  });
}

// ReplaceFile in a child as the user: 0, the reason it failed, or 250.
int ReplaceAs(uid_t user, const std::vector<gid_t>& groups, const fs::path& file, const std::string& bytes,
              bool durable) {
  return AsUser(user, groups, [&] {
    int error = 0;
    ReplaceFile(file.string(), bytes, &error, durable);
    return error;
  });
}

struct stat StatOf(const fs::path& file) {
  struct stat info {};
  ::stat(file.c_str(), &info);
  return info;
}

std::string AttributeOf(const fs::path& file, const char* name) {
  char value[256];
  const ssize_t size = ::getxattr(file.c_str(), name, value, sizeof value);
  return size < 0 ? "(none)" : std::string(value, static_cast<size_t>(size));
}

// An access ACL (its on-disk form) that lets `user` read and write besides the owner.
std::string AclLettingWrite(uid_t user) {
  std::string acl;
  const auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) acl += static_cast<char>((value >> (8 * i)) & 0xff);
  };
  put(2, 4);  // version
  const uint32_t kNoId = 0xffffffff;
  const uint32_t entries[][3] = {{0x01, 6, kNoId}, {0x02, 6, user}, {0x04, 4, kNoId}, {0x10, 6, kNoId}, {0x20, 4, kNoId}};
  for (const auto& entry : entries) {
    put(entry[0], 2);
    put(entry[1], 2);
    put(entry[2], 4);
  }
  return acl;
}

class ReplacingFile : public ScratchFolderTest {
 protected:
  // Copies of files written in place go to the test's folder, not root's home.
  const TStateHome stateHome_{(dir_ / "state").string()};
  // Some tests act as another user, who must reach the files.
  ReplacingFile() : ScratchFolderTest(PlaceTheOtherUserReaches()) {}
  std::set<std::string> Names(const fs::path& folder) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
  }
  // A folder other users reach, with its owner and mode.
  fs::path Folder(const std::string& name, uid_t owner, mode_t mode) {
    const fs::path folder = ReachableFolder() / name;
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
  // The test's own folder, opened to others; the fixture keeps it where they reach.
  fs::path ReachableFolder() {
    OpenToOthers();
    return dir_;
  }
  // A child that writes in place, stopped right after its N-th write at a position
  // (TALVO_SHIM_STOP), copies kept under `state`. Its pid.
  pid_t StoppedWriter(const fs::path& file, const std::string& bytes, bool durable, const fs::path& state, int stop) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    ::alarm(kChildSeconds);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::setenv("XDG_STATE_HOME", state.c_str(), 1);
    ::setenv("TALVO_SHIM_STOP", ("pwrite:" + std::to_string(stop)).c_str(), 1);
    InstallInterruptCleanup();
    ::_exit(ReplaceFile(file.string(), bytes, nullptr, durable) ? 0 : 1);
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
  const fs::path disk = ReachableFolder() / "disk";
  const int full = ExitOfChild([&] {
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

// A save or a rebuild keeps what made the file the user's. It takes the old file's
// place only where the new one can have all of it and the old one has no other name;
// otherwise it is written in place. Set-id bits stay only with their owner.
TEST_F(ReplacingFile, TheFileStaysTheUsers) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as other users";
  constexpr uid_t kUser = TOtherUser::kUser;
  const std::vector<gid_t> root = {0};
  const std::vector<gid_t> member = {TOtherUser::kGroup, kShared};
  struct TCase {
    const char* Name;
    uid_t Writer;
    const std::vector<gid_t>& Groups;
    uid_t Owner;  // of the folder and the file
    gid_t Group;
    mode_t FolderMode;
    mode_t FileMode;
    bool Durable;
    const char* SecondName;  // a hard link to the file
    bool Replaced;           // else written in place
  };
  const TCase cases[] = {
      {"root rebuilds a user's output", 0, root, kUser, kUser, 0755, 0664, false, nullptr, true},
      {"root saves a user's source", 0, root, kUser, kUser, 0755, 0664, true, nullptr, true},
      {"root rebuilds a user's set-id output", 0, root, kUser, kUser, 0755, 06777, false, nullptr, true},
      {"a member rebuilds his group's output", kUser, member, kUser, kShared, 0775, 0664, false, nullptr, true},
      {"a member rebuilds another member's output", kUser, member, kOtherMember, kShared, 0775, 0664, false, nullptr,
       false},
      {"a source with a second name", 0, root, kUser, kUser, 0755, 0644, true, "hard2.casm", false},
      {"an output with a second name", kUser, member, kUser, kUser, 0755, 0644, false, "boot.Bin", false},
  };
  const fs::path reachable = ReachableFolder();
  const std::string bytes = "new bytes\r\n";
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = reachable / c.Name;
    fs::create_directory(folder);
    const fs::path file = folder / "hard.casm";
    WriteBytes(file, "old bytes\r\n");
    ASSERT_EQ(::chown(folder.c_str(), c.Owner, c.Group), 0);
    ASSERT_EQ(::chown(file.c_str(), c.Owner, c.Group), 0);
    ASSERT_EQ(::chmod(folder.c_str(), c.FolderMode), 0);
    ASSERT_EQ(::chmod(file.c_str(), c.FileMode), 0);
    if (c.SecondName != nullptr) fs::create_hard_link(file, folder / c.SecondName);
    const struct stat before = StatOf(file);

    EXPECT_EQ(ReplaceAs(c.Writer, c.Groups, file, bytes, c.Durable), 0);
    const struct stat after = StatOf(file);
    EXPECT_EQ(ReadBytes(file), bytes);
    EXPECT_EQ(after.st_uid, c.Owner);
    EXPECT_EQ(after.st_gid, c.Group);
    EXPECT_EQ(after.st_mode & 07777, c.FileMode);
    EXPECT_EQ(after.st_nlink, before.st_nlink);
    EXPECT_EQ(after.st_ino != before.st_ino, c.Replaced);
    if (c.SecondName != nullptr) {
      EXPECT_EQ(ReadBytes(folder / c.SecondName), bytes);
    }
    EXPECT_EQ(Names(folder).size(), c.SecondName != nullptr ? 2u : 1u);
  }
}

// An ACL entry that lets another user write the file, and the user's own extended
// attributes, survive a save and a rebuild, by the owner or by root.
TEST_F(ReplacingFile, AclsAndExtendedAttributesSurvive) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as other users";
  constexpr uid_t kUser = TOtherUser::kUser;
  const fs::path reachable = ReachableFolder();
  const std::string acl = AclLettingWrite(kOtherMember);
  struct TCase {
    const char* Name;
    uid_t Writer;
    bool Durable;
  };
  const TCase cases[] = {{"the owner saves", kUser, true}, {"the owner rebuilds", kUser, false}, {"root rebuilds", 0, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = reachable / c.Name;
    fs::create_directory(folder);
    ASSERT_EQ(::chown(folder.c_str(), kUser, kUser), 0);
    const fs::path file = folder / "shared.lst";
    WriteBytes(file, "old");
    ASSERT_EQ(::chown(file.c_str(), kUser, kUser), 0);
    if (::setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0 ||
        ::setxattr(file.c_str(), "user.talvo.kept", "yes", 3, 0) != 0) {
      GTEST_SKIP() << "the file system of " << folder << " keeps no ACL or user attributes";
    }
    const struct stat before = StatOf(file);

    EXPECT_EQ(ReplaceAs(c.Writer, {c.Writer == 0 ? 0 : TOtherUser::kGroup}, file, "new", c.Durable), 0);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_NE(StatOf(file).st_ino, before.st_ino);
    EXPECT_EQ(StatOf(file).st_mode, before.st_mode);
    EXPECT_EQ(AttributeOf(file, "system.posix_acl_access"), acl);
    EXPECT_EQ(AttributeOf(file, "user.talvo.kept"), "yes");
    // The user the ACL names may still write it.
    EXPECT_EQ(ReplaceAs(kOtherMember, {kShared}, file, "his", false), 0);
    EXPECT_EQ(ReadBytes(file), "his");
  }
}

// Written in place, a file is whole at every moment a signal or a kill can stop the
// writer: after the first new bytes reached a file the user typed, its old bytes are
// whole in a copy (named after the file, outside its folder), which goes once the new
// ones are on the disk; INT, TERM, HUP and QUIT wait until the file is whole again.
TEST_F(ReplacingFile, NoSignalTearsAFileWrittenInPlace) {
  struct TCase {
    bool Durable;
    int Stop;    // after which write at a position
    int Signal;
    bool Torn;   // the file is neither old nor new at that moment
  };
  const TCase cases[] = {
      {true, 1, SIGKILL, false}, {true, 2, SIGKILL, true}, {true, 2, SIGINT, true},  {true, 2, SIGTERM, true},
      {true, 2, SIGHUP, true},   {true, 2, SIGQUIT, true}, {false, 1, SIGTERM, true}, {false, 1, SIGINT, true},
  };
  const std::string old(6000, 'o');
  const std::string bytes = std::string(4000, 'n');  // shorter: its end is cut last
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Durable ? "source " : "output ") + std::to_string(c.Stop) + " " + strsignal(c.Signal));
    const fs::path folder = dir_ / ("case " + std::to_string(&c - cases));
    const fs::path state = folder / "state";
    fs::create_directories(state);
    const fs::path file = folder / "s.casm";
    WriteBytes(file, old);
    fs::create_hard_link(file, folder / "s2.casm");  // so that it is written in place
    const auto copies = [&] {
      std::vector<std::string> found;
      if (fs::exists(state / "talvo")) {
        for (const auto& entry : fs::directory_iterator(state / "talvo")) found.push_back(ReadBytes(entry.path()));
      }
      return found;
    };

    const pid_t child = StoppedWriter(file, bytes, c.Durable, state, c.Stop);
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status)) << "the write ended before the moment: " << status;
    const std::string atTheMoment = ReadBytes(file);
    EXPECT_EQ(atTheMoment != old && atTheMoment != bytes, c.Torn);
    if (c.Torn && c.Durable) {
      EXPECT_EQ(copies(), std::vector<std::string>{old});
    }
    ::kill(child, c.Signal);
    ::kill(child, SIGCONT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.Signal) << status;

    const std::string left = ReadBytes(file);
    if (c.Signal == SIGKILL) {
      EXPECT_TRUE(left == old || left == bytes || copies() == std::vector<std::string>{old});
      if (c.Torn) {
        const auto names = fs::directory_iterator(state / "talvo");
        EXPECT_NE(names->path().filename().string().find("s.casm~"), std::string::npos) << names->path();
      }
    } else {
      EXPECT_EQ(left, bytes);
      EXPECT_TRUE(copies().empty());
    }
    EXPECT_EQ(ReadBytes(folder / "s2.casm"), left);
  }
}

// A write in place that fails gives back all the space it reserved, whether its own
// reservation met the full disk (ext4 keeps what a failed one got, tmpfs does not) or
// another file's did and it never came to be written: a disk of the user's shared
// outputs in a folder he may not write (in place), as another user.
TEST_F(ReplacingFile, AFailedWriteInPlaceKeepsNoSpace) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as another user and to mount";
  const fs::path reachable = ReachableFolder();
  std::string unmounted;
  for (const std::string kind : {"tmpfs", "ext4"}) {
    SCOPED_TRACE(kind);
    const fs::path disk = reachable / kind;
    fs::create_directory(disk);
    const std::string image = (dir_ / (kind + ".img")).string();
    if (kind == "ext4") {
      WriteBytes(image, "");
      ::truncate(image.c_str(), 8 << 20);
    }
    constexpr blkcnt_t kBookkeepingBlocks = 16;  // of 512 bytes
    const int result = ExitOfChild([&] {
      if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return 200;
      const bool mounted = kind == "tmpfs" ? ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=4m") == 0
                                           : RunTool({"mkfs.ext4", "-q", "-F", image}).Exit == 0 &&
                                                 RunTool({"mount", "-o", "loop", image, disk.string()}).Exit == 0;
      if (!mounted) return 200;
      const std::string old(4096, 'o');
      const char* names[] = {"a.lst", "b.lst", "c.lst"};
      for (const char* name : names) {
        WriteBytes(disk / name, old);
        ::chmod((disk / name).c_str(), 0666);
      }
      struct statvfs free {};
      ::statvfs(disk.c_str(), &free);
      // About 1 MB left.
      WriteBytes(disk / "filler", std::string(free.f_bavail * free.f_frsize - (1 << 20), 'f'));
      ::chmod(disk.c_str(), 0555);
      const auto blocks = [&] {
        blkcnt_t sum = 0;
        for (const char* name : names) sum += StatOf(disk / name).st_blocks;
        return sum;
      };
      const blkcnt_t before = blocks();
      const int failed = AsUser(TOtherUser::kUser, {TOtherUser::kGroup}, [&] {
        // a: reserved, never written; b: its reservation meets the full disk.
        TReplacingFile a((disk / "a.lst").string());
        TReplacingFile b((disk / "b.lst").string());
        a.Write(std::string(400 << 10, 'a'));
        b.Write(std::string(2 << 20, 'b'));
        if (!a.Finish() || b.Finish()) return 201;
        // c: written, and failing halfway at the file size limit.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 << 10, 64 << 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int error = 0;
        if (ReplaceFile((disk / "c.lst").string(), std::string(400 << 10, 'c'), &error) || error != EFBIG) return 202;
        return b.Error();
      });
      for (const char* name : names) {
        if (ReadBytes(disk / name) != old) return 203;
      }
      // A failed reservation may leave ext4 a block of its own bookkeeping, never space.
      if (blocks() > before + kBookkeepingBlocks) return 204;
      return failed;
    });
    if (result == 200) {
      unmounted += " " + kind;
      continue;
    }
    EXPECT_EQ(result, ENOSPC) << "201: no full disk, 202: no failed write, 203: old bytes lost, 204: space kept";
  }
  if (!unmounted.empty()) GTEST_SKIP() << "cannot mount a small file system here:" << unmounted;
}

// Where no copy of its old bytes can be kept anywhere, a file the user typed is not
// written over them: the save fails with the reason and the file stays as it was.
TEST_F(ReplacingFile, ATypedFileWithNowhereToKeepItsOldBytesIsLeftAlone) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount";
  const fs::path file = dir_ / "s.casm";
  WriteBytes(file, "old");
  fs::create_hard_link(file, dir_ / "s2.casm");
  const int result = ExitOfChild([&] {
    // Every place for the copy read-only: the state folder, the home and /var/tmp.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", "/var/tmp", "tmpfs", MS_RDONLY, "size=64k") != 0) {
      return 200;
    }
    ::setenv("XDG_STATE_HOME", "/var/tmp/state", 1);
    ::setenv("HOME", "/var/tmp", 1);
    int error = 0;
    if (ReplaceFile(file.string(), "new", &error, true)) return 201;
    if (error != kNoKeptCopy) return 202;
    // A build output needs no copy.
    return ReplaceFile((dir_ / "s2.casm").string(), "out", nullptr, false) ? 0 : 203;
  });
  if (result == 200) GTEST_SKIP() << "cannot mount a small file system here";
  EXPECT_EQ(result, 0) << "201: written, 202: another reason, 203: the output not written";
  EXPECT_EQ(ReadBytes(file), "out");
}

}  // namespace
