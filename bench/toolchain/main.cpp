// Times a whole build (assemble, pass 2, object file, link, listing, copy) of a
// generated source and GNU as on an x86-64 source of the same line count, in one
// run, and prints both with their ratio.
//
//   bench_toolchain [LINES]   (default 1000000)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "toolchain/complier_asm.h"

namespace {

namespace fs = std::filesystem;

// Every tenth line a label, every tenth a reference to a label, the rest ordinary
// register instructions.
void WriteTalvoSource(const fs::path& path, int lines) {
  std::ofstream out(path, std::ios::binary);
  int label = 0;
  for (int i = 0; i < lines; ++i) {
    switch (i % 10) {
      case 0: out << "L" << label++ << ":\r\n"; break;
      case 5: out << "LD R8 OFFSET L" << (label > 0 ? (label * 7919) % label : 0) << "\r\n"; break;
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
      case 5: out << "\tmovabsq $L" << (label > 0 ? (label * 7919) % label : 0) << ", %r8\n"; break;
      case 7: out << "\tcmpq %rax, %rbx\n"; break;
      default: out << "\taddq %rcx, %rdx\n";
    }
  }
}

template <class F>
double Seconds(F&& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const fs::path folder = fs::temp_directory_path() / "talvo_bench_toolchain";
  fs::remove_all(folder);
  fs::create_directories(folder);
  WriteTalvoSource(folder / "big.casm", lines);
  WriteGasSource(folder / "big.s", lines);

  int32_t result = 0;
  const double talvo = Seconds([&] {
    TComplierAsm compiler;
    compiler.AddFile((folder / "big.casm").string());
    compiler.OutputName = (folder / "big.tvxPrj").string();
    result = compiler.BuildAll();
  });
  const std::string gasCommand =
      "as --64 -o '" + (folder / "big.o").string() + "' '" + (folder / "big.s").string() + "'";
  int gasStatus = 0;
  const double gas = Seconds([&] { gasStatus = std::system(gasCommand.c_str()); });

  std::printf("lines            %d\n", lines);
  std::printf("kit build        %.3f s (result %d)\n", talvo, result);
  std::printf("GNU as           %.3f s (status %d)\n", gas, gasStatus);
  std::printf("kit / as time    %.2f\n", talvo / gas);
  fs::remove_all(folder);
  return result == 0 && gasStatus == 0 ? 0 : 1;
}
