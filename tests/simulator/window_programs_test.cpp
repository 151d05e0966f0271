// The two window programs as built, started offscreen: what their main sets up before
// any window.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "common/eventually.h"
#include "common/scratch.h"

namespace {

// The signals the process ignores, from its status in /proc; 0 when it cannot be read.
uint64_t IgnoredSignals(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("SigIgn:", 0) == 0) return std::stoull(line.substr(7), nullptr, 16);
  return 0;
}

// A write past the file size limit must fail with EFBIG, to be told, rather than end
// the program: kelmo and TALVOSim ignore SIGXFSZ from the start, as kelmoc and
// talvorun do (their tests see the failed write told).
TEST(WindowPrograms, IgnoreTheFileSizeLimitSignal) {
  TScratchFolder folder;
  const std::string runtime = folder.File("runtime");
  ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
  std::string platform = "QT_QPA_PLATFORM=offscreen", runtimeVariable = "XDG_RUNTIME_DIR=" + runtime;
  char* environment[] = {platform.data(), runtimeVariable.data(), nullptr};
  for (std::string program : {TALVO_BINARY_DIR "/bin/kelmo", TALVO_BINARY_DIR "/bin/TALVOSim"}) {
    SCOPED_TRACE(program);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Its settings files land in the scratch folder, and it says nothing to the test's output.
    posix_spawn_file_actions_addchdir_np(&actions, folder.Path.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environment);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(spawned, 0);
    EXPECT_TRUE(Eventually([pid] { return (IgnoredSignals(pid) & uint64_t{1} << (SIGXFSZ - 1)) != 0; }));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
}

}  // namespace
