// Times a whole build (assemble, pass 2, object file, link, listing, copy) of a
// generated source against GNU as on an x86-64 source of the same line count and
// shape, for several sizes in one run, and prints the best of several alternating
// runs of each with their ratio. Beside the rebuild it times the same build into a
// folder without old outputs: the difference is what replacing them costs.
//
//   bench_toolchain [RUNS [LINES...]]   (defaults 7 and 250000 500000 1000000 2000000)
//
// Every run is a fresh process, as a real build is: memory a finished run gave back
// would otherwise make the next one look faster than any build can be. Each build
// replaces the outputs of the one before, as a rebuild does.

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
#include <vector>

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

// Untimed, before a build that finds no outputs to replace.
void RemoveOutputs(const fs::path& folder) {
  for (const char* name : {"big.qobj", "big.tvxbin", "big.lst", "big.Bin"}) fs::remove(folder / name);
}

int AssembleWithGas(const fs::path& folder) {
  const std::string object = (folder / "big.o").string();
  const std::string source = (folder / "big.s").string();
  execlp("as", "as", "--64", "-o", object.c_str(), source.c_str(), static_cast<char*>(nullptr));
  return 127;
}

struct TRun {
  double Seconds = 0;
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
  if (waitpid(child, &status, 0) != child) return run;
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

struct TSize {
  int Lines = 0;
  TRun Kit;
  TRun KitNew;  // without old outputs to replace
  TRun Gas;
};

// Best of `runs` alternating runs: alternating keeps a passing load on the machine
// from favouring either side.
TSize Measure(const fs::path& folder, int lines, int runs) {
  WriteTalvoSource(folder / "big.casm", lines);
  WriteGasSource(folder / "big.s", lines);
  TSize size;
  size.Lines = lines;
  for (int i = 0; i < runs; ++i) {
    RemoveOutputs(folder);
    const TRun kitNew = RunInChild([&] { return BuildWithKit(folder); });
    const TRun gas = RunInChild([&] { return AssembleWithGas(folder); });
    const TRun kit = RunInChild([&] { return BuildWithKit(folder); });
    if (!kit.Ok || !kitNew.Ok || !gas.Ok) return {lines, kit, kitNew, gas};
    if (i == 0 || kit.Seconds < size.Kit.Seconds) size.Kit = kit;
    if (i == 0 || kitNew.Seconds < size.KitNew.Seconds) size.KitNew = kitNew;
    if (i == 0 || gas.Seconds < size.Gas.Seconds) size.Gas = gas;
  }
  return size;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 7);
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::max(10, std::atoi(argv[i])));
  if (sizes.empty()) sizes = {250000, 500000, 1000000, 2000000};
  const fs::path folder = fs::temp_directory_path() / ("talvo_bench_toolchain_" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);

  std::printf("best of %d alternating runs; as / kit >= 1 means the kit is at least as fast\n", runs);
  std::printf("%10s %10s %12s %10s %10s %14s\n", "lines", "kit s", "kit new s", "as s", "as / kit",
              "kit ns / line");
  bool ok = true;
  std::vector<TSize> measured;
  for (const int lines : sizes) {
    const TSize size = Measure(folder, lines, runs);
    const bool kitOk = size.Kit.Ok && size.KitNew.Ok;
    ok = ok && kitOk && size.Gas.Ok;
    if (!kitOk || !size.Gas.Ok) {
      std::printf("%10d  failed: %s\n", lines, kitOk ? "as" : "kit build");
      break;
    }
    measured.push_back(size);
    std::printf("%10d %10.3f %12.3f %10.3f %10.2f %14.0f\n", lines, size.Kit.Seconds, size.KitNew.Seconds,
                size.Gas.Seconds, size.Gas.Seconds / size.Kit.Seconds, 1e9 * size.Kit.Seconds / lines);
  }
  // Linear: the time per line of the largest size against the smallest.
  if (measured.size() >= 2) {
    const TSize& small = measured.front();
    const TSize& large = measured.back();
    std::printf("kit time per line, %d against %d lines: %.2f (1.00 is linear)\n", large.Lines,
                small.Lines, (large.Kit.Seconds / large.Lines) / (small.Kit.Seconds / small.Lines));
  }
  fs::remove_all(folder);
  return ok ? 0 : 1;
}
