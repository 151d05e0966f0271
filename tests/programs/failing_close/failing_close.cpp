// failing_close FD PROGRAM [ARGUMENT...]: runs PROGRAM with every close of the file
// descriptor FD failing with EIO, as a close on a network file system that could not
// write a file's last bytes fails. No local file system fails a close, so this is how
// a test sees what a program does with one.

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: failing_close FD PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  const auto fd = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
  // The programs run here use the native system calls only, so the filter looks at no
  // architecture. The descriptor is the low half of the first argument.
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_close, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, fd, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  const sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
    std::fprintf(stderr, "failing_close: cannot filter the system calls: %s\n", std::strerror(errno));
    return 2;
  }
  ::execvp(argv[2], argv + 2);
  std::fprintf(stderr, "failing_close: cannot run %s: %s\n", argv[2], std::strerror(errno));
  return 2;
}
