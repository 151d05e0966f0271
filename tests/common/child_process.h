#pragma once
// Running part of a test in a child process: for what must not touch the test's own
// process (resource limits, mount namespaces, signals that end it).

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Upper bound of a child's life: SIGALRM ends a child that hangs.
inline constexpr unsigned kChildSeconds = 120;

// Forks, runs `job` in the child and waits for it: the child's wait status, or -1 when
// it could not be started.
inline int StatusOfChild(const std::function<int()>& job) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    ::alarm(kChildSeconds);
    ::_exit(job());
  }
  int status = 0;
  return ::waitpid(child, &status, 0) == child ? status : -1;
}

// The exit code of a child that exited, or -1 for one that did not.
inline int ExitOfChild(const std::function<int()>& job) {
  const int status = StatusOfChild(job);
  return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
