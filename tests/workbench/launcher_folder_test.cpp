// A program the workbench starts runs in the workbench's current folder, where the
// user's relative names (the simulator's settings, its images) lie, not in the folder
// the program is found in.

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "frame_fixture.h"
#include "platform/shell_open.h"

namespace {

class TCurrentFolder {
 public:
  explicit TCurrentFolder(const std::string& folder) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~TCurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(old_, ignored);
  }

 private:
  std::filesystem::path old_;
};

// What the writers of the FIFO write until the last one closes it; a bound of 30 s
// for each step, so a program that never starts fails the test.
std::string ReadFifo(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return "cannot open " + path;
  std::string text;
  // Until a writer has come, the FIFO shows no hang-up.
  for (pollfd wait{fd, POLLIN, 0}; ::poll(&wait, 1, 30000) == 1; wait.revents = 0) {
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got > 0) text.append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  return text;
}

TEST(Launcher, StartsAProgramInTheCurrentFolder) {
  TestApplication();
  TScratchFolder dir;
  std::filesystem::create_directory(dir.File("bin"));
  std::filesystem::create_directory(dir.File("work"));
  ASSERT_EQ(::mkfifo(dir.File("where").c_str(), 0600), 0);
  const std::string program =
      dir.Write("bin/TALVOSim", "#!/bin/sh\npwd -P > \"$(dirname \"$0\")/../where\"\n");
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  const TCurrentFolder inWork(dir.File("work"));
  ASSERT_TRUE(ShellOpen(program));
  EXPECT_EQ(ReadFifo(dir.File("where")), std::filesystem::canonical(dir.File("work")).string() + "\n");
}

}  // namespace
