// Reading only regular files, and replacing files whole or not at all.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "../common/scratch.h"
#include "base/file_error.h"
#include "base/file_read.h"
#include "base/gbk_convert.h"
#include "base/replacing_file.h"

namespace {

class FilesTest : public ScratchFolderTest {
 protected:
  // Only the named file may be left in the folder: no temporary file stays behind.
  size_t EntriesInFolder() const {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_)) ++count;
    return count;
  }
};

TEST_F(FilesTest, ReadingRefusesFifosFoldersAndDevicesWithoutBlocking) {
  const std::string fifo = PathOf("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string bytes;
  int error = 0;
  EXPECT_FALSE(ReadRegularFile(fifo, bytes, &error));
  EXPECT_EQ(error, kNotARegularFile);
  EXPECT_FALSE(ReadRegularFile(dir_.string(), bytes, &error));
  EXPECT_EQ(error, EISDIR);
  EXPECT_FALSE(OpenRegularFile("/dev/zero", &error));
  EXPECT_EQ(error, kNotARegularFile);
  EXPECT_FALSE(ReadRegularFile(PathOf("missing"), bytes, &error));
  EXPECT_EQ(error, ENOENT);
}

TEST_F(FilesTest, ReadingGivesTheWholeFileWithinItsBound) {
  const std::string path = PathOf("a.txt");
  WriteBytes(path, std::string("ab\0cd", 5));
  std::string bytes;
  ASSERT_TRUE(ReadRegularFile(path, bytes));
  EXPECT_EQ(bytes, std::string("ab\0cd", 5));
  int error = 0;
  bytes = "kept";
  EXPECT_FALSE(ReadRegularFile(path, bytes, &error, 4));
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(bytes, "kept");
}

TEST_F(FilesTest, ReplacingWritesTheFileAndKeepsItsMode) {
  const std::string path = PathOf("out.bin");
  WriteBytes(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  TReplacingFile file(path);
  for (int i = 0; i < 3000; ++i) file.Write(std::string(1000, static_cast<char>('a' + i % 26)));
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(ReadBytes(path).size(), 3000000u);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(FilesTest, ReplacingFollowsALinkToItsTarget) {
  const std::string target = PathOf("target.txt");
  const std::string link = PathOf("link.txt");
  WriteBytes(target, "old");
  std::filesystem::create_symlink(target, link);
  ASSERT_TRUE(ReplaceFile(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(target), "new");
}

TEST_F(FilesTest, ReplacingRefusesWhatIsNotAPlainFile) {
  int error = 0;
  EXPECT_FALSE(ReplaceFile("/dev/full", "x", &error));
  EXPECT_EQ(error, kNotARegularFile);
  const std::string folder = PathOf("sub");
  std::filesystem::create_directory(folder);
  EXPECT_FALSE(ReplaceFile(folder, "x", &error));
  EXPECT_EQ(error, EISDIR);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_FALSE(ReplaceFile(PathOf("missing/x.txt"), "x", &error));
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(EntriesInFolder(), 1u);
}

// A write that fails halfway (here the file size limit, as a full disk would) leaves
// the old file whole and no temporary file behind.
TEST_F(FilesTest, AFailedWriteKeepsTheOldFile) {
  const std::string path = PathOf("kept.txt");
  WriteBytes(path, "the old text");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1 << 16, 1 << 16};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    int error = 0;
    const bool written = ReplaceFile(path, std::string(1 << 20, 'x'), &error);
    ::_exit(!written && error == EFBIG ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadBytes(path), "the old text");
  EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST(FileErrorReason, NamesTheCommonCausesInChinese) {
  EXPECT_EQ(GbkToUtf8(FileErrorReason(ENOSPC)), "磁盘空间不足 (ENOSPC)");
  EXPECT_EQ(GbkToUtf8(FileErrorReason(kNotARegularFile)), "不是普通文件 (ENOTREG)");
  EXPECT_EQ(GbkToUtf8(FileErrorReason(EACCES)), "没有访问权限 (EACCES)");
  EXPECT_EQ(GbkToUtf8(FileErrorReason(EFBIG)), "文件太大 (EFBIG)");
  EXPECT_EQ(GbkToUtf8(FileErrorReason(ENOMEM)), "内存不足 (ENOMEM)");
  EXPECT_EQ(GbkToUtf8(FileErrorReason(ESPIPE)), "不能定位读写 (ESPIPE)");
  EXPECT_NE(FileErrorReason(ENOTSUP).find("errno"), std::string::npos);
}

}  // namespace
