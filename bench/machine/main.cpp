// Machine benchmark: how many instructions a second the core steps headless, for a
// register loop and for a loop through memory and the stack, each beside a plain C++
// loop doing the same 128-bit arithmetic in the same run.
//
//   bench_machine [iterations]     (default 20000000 loop iterations)

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

#include "machine/talvo_cpu.h"
#include "program_words.h"

namespace {

using namespace program_words;

// R1 counts up by R2 to R3; the loop body is ADD, CMP, JNQ.
Image RegisterLoop(uint64_t iterations) {
  Image image;
  image.Load(2, 1);
  image.Load(3, iterations);
  image.Load(4, Back(8));
  image.Emit(Word(Add, 1, 1, 2));
  image.Emit(Word(Cmp, 0, 1, 3));
  image.Emit(Word(JNQ, 0, 0, 4));
  return image;
}

// The same count, with a store, a load, a push and a pop in every round.
Image MemoryStackLoop(uint64_t iterations) {
  Image image;
  image.Load(2, 1);
  image.Load(3, iterations);
  image.Load(4, Back(24));
  image.Load(5, 0x10000);  // data word
  image.Load(8, 0x20000);  // stack
  image.Emit(Word(Set, 0, SP, 8));
  image.Emit(Word(RM, 0, 5, 1));
  image.Emit(Word(MR, 6, 0, 5));
  image.Emit(Word(Push, 0, 0, 6));
  image.Emit(Word(Pop, 0, 0, 7));
  image.Emit(Word(Add, 1, 1, 2));
  image.Emit(Word(Cmp, 0, 1, 3));
  image.Emit(Word(JNQ, 0, 0, 4));
  return image;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Result {
  uint64_t Steps = 0;
  double Seconds = 0;
  bool Failed = false;
};

// The core loads its program from a file; that file lives in the temporary folder so the
// benchmark runs from any folder.
Result RunImage(const Image& image, const char* name) {
  const std::string path =
      (std::filesystem::temp_directory_path() / (std::string(name) + "_" + std::to_string(::getpid()))).string();
  TTALVOCPU cpu;
  cpu.SettingPath = "/dev/null/bench.setting";
  if (!image.WriteTo(path) || cpu.LoadBiosImage(path) != 0) {
    std::fprintf(stderr, "bench_machine: cannot write and load %s\n", path.c_str());
    std::exit(1);
  }
  cpu.Reset();
  const uint64_t end = image.Here();
  Result result;
  const auto start = std::chrono::steady_clock::now();
  while (cpu.GetProgramCounter() != end) {
    if (!cpu.Step()) {
      result.Failed = true;
      break;
    }
    ++result.Steps;
  }
  result.Seconds = Seconds(start);
  std::remove(path.c_str());
  return result;
}

// Keeps a value in a register the optimiser cannot see through.
inline void Opaque(Value128& v) {
  uint64_t lo = Low64(v), hi = High64(v);
  asm volatile("" : "+r"(lo), "+r"(hi));
  v = MakeValue128(hi, lo);
}

double NativeRegisterLoop(uint64_t iterations) {
  const auto start = std::chrono::steady_clock::now();
  Value128 r1 = 0, r2 = 1, r3 = iterations;
  Opaque(r2);
  do {
    r1 += r2;
    Opaque(r1);
  } while (r1 != r3);
  return Seconds(start);
}

double NativeMemoryStackLoop(uint64_t iterations) {
  std::vector<uint8_t> memory(0x30000);
  const auto start = std::chrono::steady_clock::now();
  Value128 r1 = 0, r2 = 1, r3 = iterations, r6, r7;
  uint64_t sp = 0x20000;
  Opaque(r2);
  do {
    std::memcpy(&memory[0x10000], &r1, 16);
    std::memcpy(&r6, &memory[0x10000], 16);
    std::memcpy(&memory[sp], &r6, 16);
    sp += 16;
    sp -= 16;
    std::memcpy(&r7, &memory[sp], 16);
    Opaque(r7);
    r1 += r2;
    Opaque(r1);
  } while (r1 != r3);
  return Seconds(start);
}

void Report(const char* name, const Result& core, uint64_t instructionsPerRound, double native,
            uint64_t iterations) {
  const double mips = static_cast<double>(core.Steps) / core.Seconds / 1e6;
  const double nativeRounds = static_cast<double>(iterations) / native / 1e6;
  const double coreRounds = static_cast<double>(core.Steps) / static_cast<double>(instructionsPerRound) /
                            core.Seconds / 1e6;
  std::printf("%-14s core %6.1f M instructions/s (%llu steps in %.3f s%s)\n", name, mips,
              static_cast<unsigned long long>(core.Steps), core.Seconds, core.Failed ? ", a step FAILED" : "");
  std::printf("%-14s native %6.1f M rounds/s, core %6.2f M rounds/s: native is %.1f times faster\n", "",
              nativeRounds, coreRounds, nativeRounds / coreRounds);
}

// Core and native runs alternate and the fastest of each counts: a busy machine slows
// single runs, never speeds them up.
constexpr int kRounds = 3;

template <typename Native>
bool Measure(const char* name, const Image& image, const char* file, uint64_t instructionsPerRound,
             Native native, uint64_t iterations) {
  Result best;
  double bestNative = 0;
  for (int round = 0; round < kRounds; ++round) {
    const Result core = RunImage(image, file);
    if (core.Failed) {
      Report(name, core, instructionsPerRound, native(iterations), iterations);
      return false;
    }
    if (round == 0 || core.Seconds < best.Seconds) best = core;
    const double seconds = native(iterations);
    if (round == 0 || seconds < bestNative) bestNative = seconds;
  }
  Report(name, best, instructionsPerRound, bestNative, iterations);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t iterations = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 20000000;
  if (iterations == 0) {
    std::fprintf(stderr, "usage: bench_machine [iterations > 0]\n");
    return 2;
  }
  std::printf("best of %d alternating runs, %llu loop rounds each\n", kRounds,
              static_cast<unsigned long long>(iterations));
  const bool reg = Measure("register loop", RegisterLoop(iterations), "bench_machine_register.bin", 3,
                           NativeRegisterLoop, iterations);
  const bool mem = Measure("memory+stack", MemoryStackLoop(iterations), "bench_machine_memory.bin", 7,
                           NativeMemoryStackLoop, iterations);
  return reg && mem ? 0 : 1;
}
