// Times a whole build (assemble, pass 2, object file, link, listing, copy) of a
// generated source and GNU as on an x86-64 source of the same line count, in one
// run, and prints the best of several runs of each with their ratio.
//
//   bench_toolchain [LINES [RUNS]]   (defaults 1000000 and 3)
//
// Every run is a fresh process, as a real build is: memory a finished run gave
// back would otherwise make the next one look faster than any build can be.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "toolchain/complier_asm.h"

namespace {

namespace fs = std::filesystem;

// Every tenth line a label, every tenth a reference to an earlier label, the rest
// ordinary register instructions.
void WriteTalvoSource(const fs::path& path, int lines) {
  std::ofstream out(path, std::ios::binary);
  int label = 0;
  for (int i = 0; i < lines; ++i) {
    switch (i % 10) {
      case 0: out << "L" << label++ << ":\r\n"; break;
      case 5: out << "LD R8 OFFSET L" << (label * 7919) % label << "\r\n"; break;
      case 7: out << "CMP R" << (i % 200) << " R" << (i % 190) << "\r\n"; break;
      default: out << "ADD R" << (i % 250) << " R" << (i % 240) << " R" << (i % 230) << "\r\n";
    }
  }
}

void WriteGasSource(const fs::path& path, int lines) {
  std::ofstream out(path);
  int label = 0;
  for (int i = 0; i < lines; ++i) {
    switch (i % 10) {
      case 0: out << "L" << label++ << ":\n"; break;
      case 5: out << "\tmovabsq $L" << (label * 7919) % label << ", %r8\n"; break;
      case 7: out << "\tcmpq %rax, %rbx\n"; break;
      default: out << "\taddq %rcx, %rdx\n";
    }
  }
}

int BuildWithKit(const fs::path& folder) {
  TComplierAsm compiler;
  compiler.AddFile((folder / "big.casm").string());
  compiler.OutputName = (folder / "big.tvxPrj").string();
  return compiler.BuildAll() == 0 ? 0 : 1;
}

int AssembleWithGas(const fs::path& folder) {
  const std::string object = (folder / "big.o").string();
  const std::string source = (folder / "big.s").string();
  execlp("as", "as", "--64", "-o", object.c_str(), source.c_str(), static_cast<char*>(nullptr));
  return 127;
}

struct TRun {
  double Seconds = 0;
  long MinorFaults = 0;
  bool Ok = false;
};

// Runs the job in a child process; the time covers its start and its exit.
template <class F>
TRun RunInChild(F&& job) {
  std::fflush(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) _exit(job());
  TRun run;
  if (child < 0) return run;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return run;
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.MinorFaults = usage.ru_minflt;
  run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = std::max(1, argc > 1 ? std::atoi(argv[1]) : 1000000);
  const int runs = std::max(1, argc > 2 ? std::atoi(argv[2]) : 3);
  const fs::path folder = fs::temp_directory_path() / ("talvo_bench_toolchain_" +
                                                       std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  WriteTalvoSource(folder / "big.casm", lines);
  WriteGasSource(folder / "big.s", lines);

  // Alternating keeps a passing load on the machine from favouring either side.
  TRun kit;
  TRun gas;
  for (int i = 0; i < runs; ++i) {
    const TRun k = RunInChild([&] { return BuildWithKit(folder); });
    const TRun g = RunInChild([&] { return AssembleWithGas(folder); });
    if (i == 0 || !k.Ok || k.Seconds < kit.Seconds) kit = k;
    if (i == 0 || !g.Ok || g.Seconds < gas.Seconds) gas = g;
    if (!kit.Ok || !gas.Ok) break;
  }

  std::printf("lines            %d (best of %d runs)\n", lines, runs);
  std::printf("kit build        %.3f s, %ld page faults%s\n", kit.Seconds, kit.MinorFaults,
              kit.Ok ? "" : " (FAILED)");
  std::printf("GNU as           %.3f s, %ld page faults%s\n", gas.Seconds, gas.MinorFaults,
              gas.Ok ? "" : " (FAILED)");
  if (kit.Ok && gas.Ok) std::printf("kit / as time    %.2f\n", kit.Seconds / gas.Seconds);
  fs::remove_all(folder);
  return kit.Ok && gas.Ok ? 0 : 1;
}
