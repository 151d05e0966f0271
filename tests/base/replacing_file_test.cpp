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
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../common/child_process.h"
#include "../common/file_calls.h"
#include "../common/other_user.h"
#include "../common/run_tool.h"
#include "../common/scratch.h"
#include "../common/state_home.h"
#include "base/file_error.h"
#include "base/interrupt_cleanup.h"
#include "base/kept_copy.h"
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

// In a child: a mount namespace of its own, whose mounts no one else sees.
bool OwnMountNamespace() {
  return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
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

// An access ACL (its on-disk form: a version, then tag, permissions and id of each
// entry) that lets `user` read and write besides the owner.
std::string AclLettingWrite(uint32_t user) {
  constexpr uint32_t kNoId = 0xffffffff;
  const uint32_t words[][3] = {{0x01, 6, kNoId}, {0x02, 6, user}, {0x04, 4, kNoId}, {0x10, 6, kNoId}, {0x20, 4, kNoId}};
  std::string acl("\2\0\0\0", 4);
  for (const auto& [tag, permissions, id] : words) {
    for (const uint32_t value : {tag, permissions}) acl += {static_cast<char>(value), '\0'};
    for (int i = 0; i < 32; i += 8) acl += static_cast<char>(id >> i & 0xff);
  }
  return acl;
}

class ReplacingFile : public ScratchFolderTest {
 protected:
  // Some tests act as another user, who must reach the files.
  ReplacingFile() : ScratchFolderTest(PlaceTheOtherUserReaches()) {}
  void SetUp() override {
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    if (!CanActAsTheOtherUser()) return;
    ASSERT_TRUE(TheOtherUserReaches(dir_)) << "another user cannot reach " << dir_;
  }
  std::set<std::string> Names(const fs::path& folder) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
  }
  // A folder of the scratch folder, with its owner, mode and group (the owner's).
  fs::path Folder(const std::string& name, uid_t owner, mode_t mode, std::optional<gid_t> group = {}) const {
    const fs::path folder = dir_ / name;
    fs::create_directory(folder);
    Own(folder, owner, mode, group);
    return folder;
  }
  static void Own(const fs::path& file, uid_t owner, mode_t mode, std::optional<gid_t> group = {}) {
    EXPECT_EQ(::chown(file.c_str(), owner, group.value_or(owner)), 0);
    EXPECT_EQ(::chmod(file.c_str(), mode), 0);
  }
  static mode_t ModeOf(const fs::path& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
  }
  // A child that writes the file, stopped right after the call `stop` chooses
  // (TALVO_SHIM_STOP, "pwrite:N": its N-th write at a position), copies kept under
  // `state`. Its pid, once it stopped.
  pid_t StoppedWriter(const fs::path& file, const std::string& bytes, bool durable, const fs::path& state,
                      const std::string& stop) {
    const pid_t child = ::fork();
    if (child != 0) {
      int status = 0;
      EXPECT_EQ(::waitpid(child, &status, WUNTRACED), child);
      EXPECT_TRUE(WIFSTOPPED(status)) << "the write ended before the moment: " << status;
      return child;
    }
    ::alarm(kChildSeconds);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::setenv("XDG_STATE_HOME", state.c_str(), 1);
    ::setenv("TALVO_SHIM_STOP", stop.c_str(), 1);
    InstallInterruptCleanup();
    ::_exit(ReplaceFile(file.string(), bytes, nullptr, durable) ? 0 : 1);
  }
  // Ends a stopped child with the signal: whether the signal ended it.
  static bool EndedBy(pid_t child, int signal) {
    ::kill(child, signal);
    ::kill(child, SIGCONT);
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == signal;
  }
  // The bytes of the kept copies under the state folder named after a file called `name`.
  static std::vector<std::string> CopiesOf(const fs::path& state, const std::string& name) {
    std::vector<std::string> found;
    if (!fs::exists(state / "talvo")) return found;
    for (const auto& entry : fs::directory_iterator(state / "talvo")) {
      if (entry.path().filename().string().find("%" + name + "~") != std::string::npos) {
        found.push_back(ReadBytes(entry.path()));
      }
    }
    return found;
  }

  // Copies of files written in place go to the test's folder, not root's home.
  const TStateHome stateHome_{(dir_ / "state").string()};
};

// What an in-place write would be allowed decides, not the folder: a read-only file is
// kept in a folder the user may write, and a writable one is written in a folder the
// user may not (in place, growing or shrinking).
TEST_F(ReplacingFile, TheFilesOwnProtectionDecides) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as another user";
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

// Any name the file system takes can be written and written again: neither the
// temporary file's name nor, for a file written in place, its kept copy's (named after
// its full path) makes it too long.
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
  fs::create_hard_link(dir_ / names[0], dir_ / "second name");
  int error = -1;
  EXPECT_TRUE(ReplaceFile(PathOf(names[0]), "in place", &error, true));
  EXPECT_EQ(error, 0);
  EXPECT_EQ(ReadBytes(dir_ / "second name"), "in place");
}

// A save or a rebuild keeps what made the file the user's: owner, group, mode, ACL and
// extended attributes. It takes the old file's place only where the new one can have
// all of it and the old one has no other name; otherwise it is written in place.
// Set-id bits stay only with their owner.
TEST_F(ReplacingFile, TheFileStaysTheUsers) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as other users";
  constexpr uid_t kUser = TOtherUser::kUser;
  struct TCase {
    const char* Name;
    uid_t Writer;  // root, or the user, a member of the shared group
    uid_t Owner;   // of the folder and the file
    gid_t Group;
    mode_t FileMode;
    // A source, a hard link to the file, an ACL entry that lets another user write it
    // and a user attribute; whether it is replaced, else written in place.
    bool Durable, SecondName, Acl, Replaced;
  };
  // The folders take new files from their owner's group.
  const TCase cases[] = {
      {"root rebuilds a user's set-id output", 0, kUser, kUser, 06777, false, false, false, true},
      {"a member rebuilds his group's output", kUser, kUser, kShared, 0664, false, false, false, true},
      {"a member rebuilds another member's output", kUser, kOtherMember, kShared, 0664, false, false, false, false},
      {"root saves a source with a second name", 0, kUser, kUser, 0644, true, true, false, false},
      // Last: a file system without ACLs skips them.
      {"the owner saves a file with an ACL", kUser, kUser, kUser, 0664, true, false, true, true},
      {"root rebuilds a file with an ACL", 0, kUser, kUser, 0664, false, false, true, true},
  };
  const std::string acl = AclLettingWrite(kOtherMember);
  const std::string bytes = "new bytes\r\n";
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = Folder(c.Name, c.Owner, 0775, c.Group);
    const fs::path file = folder / "hard.casm";
    WriteBytes(file, "old bytes\r\n");
    Own(file, c.Owner, c.FileMode, c.Group);
    if (c.SecondName) fs::create_hard_link(file, folder / "hard2.casm");
    if (c.Acl && (::setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0 ||
                  ::setxattr(file.c_str(), "user.talvo.kept", "yes", 3, 0) != 0)) {
      GTEST_SKIP() << "the file system of " << folder << " keeps no ACL or user attributes";
    }
    const struct stat before = StatOf(file);

    const auto groups = c.Writer == 0 ? std::vector<gid_t>{0} : std::vector<gid_t>{TOtherUser::kGroup, kShared};
    EXPECT_EQ(ReplaceAs(c.Writer, groups, file, bytes, c.Durable), 0);
    const struct stat after = StatOf(file);
    EXPECT_EQ(ReadBytes(file), bytes);
    EXPECT_EQ(after.st_uid, c.Owner);
    EXPECT_EQ(after.st_gid, c.Group);
    EXPECT_EQ(after.st_mode & 07777, c.FileMode);
    EXPECT_EQ(after.st_nlink, before.st_nlink);
    EXPECT_EQ(after.st_ino != before.st_ino, c.Replaced);
    EXPECT_EQ(Names(folder).size(), c.SecondName ? 2u : 1u);
    if (c.SecondName) {
      EXPECT_EQ(ReadBytes(folder / "hard2.casm"), bytes);
    }
    if (!c.Acl) continue;
    EXPECT_EQ(AttributeOf(file, "system.posix_acl_access"), acl);
    EXPECT_EQ(AttributeOf(file, "user.talvo.kept"), "yes");
    // The user the ACL names may still write it.
    EXPECT_EQ(ReplaceAs(kOtherMember, {kShared}, file, "his", false), 0);
    EXPECT_EQ(ReadBytes(file), "his");
  }
}

// A file is whole at every moment a signal or a kill can stop the writer, and no name
// in its folder holds its old text after. Written in place: after the first new bytes
// reached a file the user typed, its old bytes are whole in a copy (named after the
// file, outside its folder), which goes once the new ones are on the disk; INT, TERM,
// HUP and QUIT wait until the file is whole again. Replaced: once the new file took
// its place, and while the folder's new entries are forced to the disk.
TEST_F(ReplacingFile, NoSignalTearsAFileWrittenInPlace) {
  struct TCase {
    bool Durable, InPlace;
    const char* Stop;  // in place, after the copy's first write at a position, then the file's
    int Signal;
    bool Torn;  // the file is neither old nor new at that moment
  };
  const TCase cases[] = {
      {true, true, "pwrite:1", SIGKILL, false}, {true, true, "pwrite:2", SIGKILL, true},
      {true, true, "pwrite:2", SIGINT, true},   {true, true, "pwrite:2", SIGTERM, true},
      {true, true, "pwrite:2", SIGHUP, true},   {true, true, "pwrite:2", SIGQUIT, true},
      {false, true, "pwrite:1", SIGTERM, true}, {true, false, "rename:1", SIGKILL, false},
      {true, false, "dirsync:1", SIGKILL, false},
  };
  const std::string old(6000, 'o');
  const std::string bytes(4000, 'n');  // shorter: its end is cut last
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Durable ? "source " : "output ") + c.Stop + " " + strsignal(c.Signal));
    const fs::path folder = dir_ / ("case " + std::to_string(&c - cases));
    const fs::path state = folder / "state";
    fs::create_directories(state);
    const fs::path file = folder / "s.casm";
    WriteBytes(file, old);
    if (c.InPlace) fs::create_hard_link(file, folder / "s2.casm");
    const auto copies = [&] { return CopiesOf(state, "s.casm"); };

    const pid_t child = StoppedWriter(file, bytes, c.Durable, state, c.Stop);
    ASSERT_GT(child, 0);
    const std::string atTheMoment = ReadBytes(file);
    EXPECT_EQ(atTheMoment != old && atTheMoment != bytes, c.Torn);
    if (c.Torn && c.Durable) {
      EXPECT_EQ(copies(), std::vector<std::string>{old});
    }
    EXPECT_TRUE(EndedBy(child, c.Signal));

    const std::string left = ReadBytes(file);
    if (c.InPlace && c.Signal == SIGKILL) {
      EXPECT_TRUE(left == old || left == bytes || copies() == std::vector<std::string>{old});
    } else {
      EXPECT_EQ(left, bytes);
      EXPECT_TRUE(copies().empty());
    }
    EXPECT_EQ(Names(folder), (c.InPlace ? std::set<std::string>{"s.casm", "s2.casm", "state"}
                                        : std::set<std::string>{"s.casm", "state"}));
    if (c.InPlace) {
      EXPECT_EQ(ReadBytes(folder / "s2.casm"), left);
    }
  }
}

// Written in place, a file that fails keeps its old bytes and no space it reserved:
// whether its own reservation met the full disk (ext4 keeps what a failed one got,
// tmpfs does not), another file's did and it was never written, or it failed halfway at
// the file size limit. The user's shared outputs in a folder he may not write.
TEST_F(ReplacingFile, AFailedWriteInPlaceKeepsTheOldBytesAndNoSpace) {
  if (!CanActAsTheOtherUser()) GTEST_SKIP() << "needs real root to act as another user and to mount";
  std::string unmounted;
  for (const std::string kind : {"tmpfs", "ext4"}) {
    SCOPED_TRACE(kind);
    const fs::path disk = dir_ / kind;
    fs::create_directory(disk);
    const std::string image = (dir_ / (kind + ".img")).string();
    WriteBytes(image, "");
    fs::resize_file(image, 8 << 20);
    constexpr blkcnt_t kBookkeepingBlocks = 16;  // of 512 bytes
    const int result = ExitOfChild([&] {
      const bool mounted = OwnMountNamespace() &&
                           (kind == "tmpfs" ? ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=4m") == 0
                                            : RunTool({"mkfs.ext4", "-q", "-F", image}).Exit == 0 &&
                                                  RunTool({"mount", "-o", "loop", image, disk.string()}).Exit == 0);
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
      return blocks() > before + kBookkeepingBlocks ? 204 : failed;
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
    if (!OwnMountNamespace() || ::mount("tmpfs", "/var/tmp", "tmpfs", MS_RDONLY, "size=64k") != 0) return 200;
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

// A write that fails says what it left: the file as it was wherever that is so, else
// that it may be changed and, for a file the user typed, where its whole old text is
// kept, in a copy of his alone forced to the disk. The shim fails the calls chosen.
TEST_F(ReplacingFile, AFailureSaysWhatItLeftOnTheDisk) {
  struct TCase {
    const char* Name;
    const char* Failing;
    bool Old, Linked, Durable;
    bool Changed, Copy;
    const char* Left;  // the file's bytes after: "old", "new", "" for no file; null: any
  };
  const TCase cases[] = {
      {"in place, the old bytes back", "pwrite:2", true, true, true, false, false, "old"},
      {"in place, putting back fails too", "pwrite:2:2", true, true, true, true, true, nullptr},
      {"an output in place, putting back fails too", "pwrite:1:2", true, true, false, true, false, nullptr},
      {"a new file whose name does not reach the disk", "dirsync:1", false, false, true, false, false, ""},
      {"a replaced file whose name does not reach the disk", "dirsync:1", true, false, true, true, true, "new"},
  };
  const fs::path state = dir_ / "state";
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = dir_ / c.Name;
    fs::create_directory(folder);
    const fs::path file = folder / "s.casm";
    if (c.Old) WriteBytes(file, "old");
    if (c.Linked) fs::create_hard_link(file, folder / "s2.casm");
    TWriteFailure failure;
    {
      const TFailingCalls failing(c.Failing);
      EXPECT_FALSE(ReplaceFile(file.string(), "new", failure, c.Durable));
    }
    EXPECT_EQ(failure.Error, EIO);
    EXPECT_EQ(failure.Changed, c.Changed);
    if (c.Left != nullptr) {
      EXPECT_EQ(fs::exists(file) ? ReadBytes(file) : "", c.Left);
    }
    for (const std::string& name : Names(folder)) EXPECT_EQ(name.rfind(".talvo-", 0), std::string::npos) << name;
    // The modes of the copy and its folder: the kept copies' own test.
    EXPECT_EQ(CopiesOf(state, "s.casm"), c.Copy ? std::vector<std::string>{"old"} : std::vector<std::string>{});
    EXPECT_EQ(failure.KeptCopy.empty() ? "(none)" : ReadBytes(failure.KeptCopy), c.Copy ? "old" : "(none)");
    EXPECT_TRUE(!c.Copy || WasSynced(failure.KeptCopy));
    fs::remove_all(state);
  }
}

// A write in place interrupted once its space is reserved and before it is written (a
// build between preparing its outputs and putting them in place) gives that space
// back, as a failed write does.
TEST_F(ReplacingFile, AnInterruptedWriteInPlaceGivesBackItsSpace) {
  const fs::path file = dir_ / "a.lst";
  const std::string old(4096, 'o');
  WriteBytes(file, old);
  fs::create_hard_link(file, dir_ / "b.lst");
  const blkcnt_t before = StatOf(file).st_blocks;
  const int status = StatusOfChild([&] {
    InstallInterruptCleanup();
    TReplacingFile out(file.string());
    out.Write(std::string(4 << 20, 'n'));
    if (!out.Finish()) return 1;
    if (StatOf(file).st_blocks <= before) return 200;
    ::raise(SIGINT);
    return 2;
  });
  if (WIFEXITED(status) && WEXITSTATUS(status) == 200) GTEST_SKIP() << "the file system here reserves no space";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_EQ(StatOf(file).st_blocks, before);
  EXPECT_EQ(ReadBytes(file), old);
}

// The copies that killed saves of a file left go with its next save that ends whole;
// the copy of a save of it still running stays, and so do another file's.
TEST_F(ReplacingFile, ASaveThatEndsWholeRemovesTheOlderCopies) {
  const fs::path state = dir_ / "state";
  for (const char* name : {"s.casm", "t.casm"}) {
    WriteBytes(dir_ / name, std::string(6000, 'o'));
    fs::create_hard_link(dir_ / name, dir_ / (std::string(name) + ".2"));
  }
  const auto copiesOf = [&](const char* name) { return CopiesOf(state, name).size(); };
  const auto killedSave = [&](const char* name) {
    EXPECT_TRUE(EndedBy(StoppedWriter(dir_ / name, std::string(4000, 'n'), true, state, "pwrite:2"), SIGKILL));
  };
  for (int i = 0; i < 3; ++i) killedSave("s.casm");
  killedSave("t.casm");
  // No assertion may end the test while this one is stopped.
  const pid_t running = StoppedWriter(dir_ / "s.casm", std::string(4000, 'r'), true, state, "pwrite:2");
  EXPECT_EQ(copiesOf("s.casm"), 4);

  EXPECT_TRUE(ReplaceFile((dir_ / "s.casm").string(), "whole", nullptr, true));
  EXPECT_EQ(copiesOf("s.casm"), 1);
  EXPECT_EQ(copiesOf("t.casm"), 1);
  EXPECT_TRUE(EndedBy(running, SIGKILL));
  EXPECT_TRUE(ReplaceFile((dir_ / "s.casm").string(), "whole again", nullptr, true));
  EXPECT_EQ(copiesOf("s.casm"), 0);
  EXPECT_EQ(ReadBytes(dir_ / "s.casm.2"), "whole again");
}

// A replaced file has what the old one had and nothing more: the entries a folder's
// default ACL gives a new file, and the old one lacked, go.
TEST_F(ReplacingFile, AReplacedFileGetsNothingFromItsFolder) {
  const fs::path file = dir_ / "s.casm";
  WriteBytes(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  const std::string acl = AclLettingWrite(::geteuid());
  if (::setxattr(dir_.c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) != 0) {
    GTEST_SKIP() << "the file system of " << dir_ << " keeps no ACL";
  }
  for (const bool durable : {false, true}) {
    EXPECT_TRUE(ReplaceFile(file.string(), "new", nullptr, durable));
    EXPECT_EQ(AttributeOf(file, "system.posix_acl_access"), "(none)");
    EXPECT_EQ(ModeOf(file), 0640u);
  }
}

// The copies of old bytes are the user's alone: 0600 in a folder of his closed to
// everyone else, made only below a folder he owns, never in a place another user
// controls: another private place is found instead. As real root, the copy is another
// user's and /var/tmp a tmpfs of the test's own; elsewhere only the rows of this user's
// own folders run.
TEST_F(ReplacingFile, KeptCopiesAreTheUsersAlone) {
  const bool otherUsers = CanActAsTheOtherUser();
  const uid_t user = otherUsers ? TOtherUser::kUser : ::geteuid();
  const std::string shared = "/var/tmp/talvo-" + std::to_string(user);
  const struct {
    const char* Name;
    bool ByRoot;         // root keeps the copy, else the user
    std::string State;   // XDG_STATE_HOME in the case's folder; empty: none
    std::string Home;    // HOME in the case's folder; empty: "/", not his
    std::string Taken;   // what another user put at /var/tmp/talvo-UID: "folder", "link", "file"; "open": the user's, 0755
    std::string Copies;  // where the copy goes, in the case's folder or "/var/tmp/..."; XXXXXX: any letters
  } cases[] = {
      {"his state folder", false, "state", "home", "", "state/talvo"},
      {"his state folder open to others", false, "open", "home", "", "home/.local/state/talvo"},
      {"root, a state folder in the user's home", true, "user/.local/state", "root", "", "root/.local/state/talvo"},
      {"no home of his", false, "", "", "", shared},
      {"another user's folder in his place", false, "", "", "folder", shared + "-XXXXXX"},
      {"another user's link in his place", false, "", "", "link", shared + "-XXXXXX"},
      {"another user's file in his place", false, "", "", "file", shared + "-XXXXXX"},
      {"his place open to others", false, "", "", "open", shared + "-XXXXXX"},
      {"another user's folder in root's place", true, "", "user", "folder", "/var/tmp/talvo-0-XXXXXX"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    if (!otherUsers && (c.ByRoot || c.Home.empty())) continue;
    const uid_t writer = c.ByRoot ? 0 : user;
    const std::string place = "/var/tmp/talvo-" + std::to_string(writer), name = c.Name;
    const fs::path folder = Folder(name, writer, 0755);
    for (const char* below : {"/open", "/open/talvo"}) {
      if (c.State == "open") Folder(name + below, writer, 0755);
    }
    if (c.ByRoot) Folder(name + "/user", TOtherUser::kUser, 0755);
    // To a folder of his alone: only the link is another's.
    const fs::path linked = Folder(name + "/linked", user, 0700);
    const std::string expected = c.Copies[0] == '/' ? c.Copies : (folder / c.Copies).string();
    const int result = ExitOfChild([&] {
      if (otherUsers && (!OwnMountNamespace() || ::mount("tmpfs", "/var/tmp", "tmpfs", 0, "mode=1777") != 0)) return 200;
      if (c.Taken == "folder" || c.Taken == "open") fs::create_directory(place);
      if (c.Taken == "file") WriteBytes(place, "");
      if (c.Taken == "link") fs::create_symlink(linked, place);
      if (c.Taken == "link") ::lchown(place.c_str(), kOtherMember, kOtherMember);
      if (c.Taken == "folder" || c.Taken == "file") Own(place, kOtherMember, 0700);
      if (c.Taken == "open") Own(place, user, 0755);
      const auto keep = [&] {
        c.State.empty() ? ::unsetenv("XDG_STATE_HOME") : ::setenv("XDG_STATE_HOME", (folder / c.State).c_str(), 1);
        ::setenv("HOME", c.Home.empty() ? "/" : (folder / c.Home).c_str(), 1);
        TKeptCopy copy;
        copy.Keep((folder / "s.casm").string(), "old");
        const std::string copies = fs::path(copy.Path()).parent_path();
        const size_t letters = expected.size() - (expected.ends_with("XXXXXX") ? 6 : 0);
        if (copies.size() != expected.size() || copies.compare(0, letters, expected, 0, letters) != 0) return 1;
        struct stat info {};
        const bool his = ::lstat(copies.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == writer;
        return his && (info.st_mode & 07777) == 0700 && ModeOf(copy.Path()) == 0600 ? 0 : 2;
      };
      return writer == ::geteuid() ? keep() : AsUser(writer, {writer}, keep);
    });
    EXPECT_EQ(result, 0) << "1: kept elsewhere, 2: not in a place of his alone";
    if (c.ByRoot) {
      EXPECT_TRUE(fs::is_empty(folder / "user"));
    }
  }
  if (!otherUsers) GTEST_SKIP() << "the rows of other users' places need real root to act as them and to mount";
}

}  // namespace
