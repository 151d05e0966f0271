#pragma once
// Runs one of the kit's command-line programs, or a system tool, and collects what it
// prints. No shell stands between: each argument reaches the program as it is, so
// blanks or quotes in a path (a TMPDIR of "/tmp/x y") change nothing. A run that
// passes its time bound is killed with everything it started and ends with exit code
// 124, so a hang fails its test instead of holding the suite.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

// kelmoc as this build made it.
inline const std::string kKelmoc = TALVO_BINARY_DIR "/tools/kelmoc/kelmoc";

struct TToolOutput {
  int Exit = -1;     // the exit code; 128 + the signal that ended it; 124 past its bound
  std::string Text;  // standard output and standard error together
};

inline constexpr int kRanPastItsBound = 124;

// Runs arguments[0] (looked up in PATH unless it holds a slash) in `folder`, or in the
// test's current folder when that is empty, with no input.
inline TToolOutput RunTool(const std::vector<std::string>& arguments, const std::string& folder = {},
                           std::chrono::seconds bound = std::chrono::seconds(120)) {
  TToolOutput out;
  if (arguments.empty()) return out;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return out;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  // A group of its own, so that what it starts in turn ends with it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(ends[1]);
  if (spawned != 0) {
    ::close(ends[0]);
    out.Text = "cannot start " + arguments[0] + ": " + std::strerror(spawned);
    return out;
  }

  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + bound;
  bool ranPast = false;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd readable{ends[0], POLLIN, 0};
    const int ready = left.count() > 0 ? ::poll(&readable, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      ::kill(-pid, SIGKILL);
      ranPast = true;
      break;
    }
    const ssize_t n = ::read(ends[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.Text.append(buffer, static_cast<size_t>(n));
  }
  ::close(ends[0]);
  // Its output has ended: it has exited or is exiting, or was just killed.
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (ranPast) {
    out.Exit = kRanPastItsBound;
    out.Text += "\n[ran past its bound of " + std::to_string(bound.count()) + " s and was killed]\n";
  } else {
    out.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  return out;
}
