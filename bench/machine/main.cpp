// Machine benchmark: instructions per second of CPU time of the simulated computer on
// a register loop and on a memory and stack loop, through Run, through talvorun's
// path, through the core thread as the window runs it (normal and show-each-instruction
// mode), each beside a plain C switch interpreter of the same machine model built here
// for the purpose. Prints M instructions/s, the ratios and the targets.
//
//   bench_machine [rounds]     (default 30000000 loop rounds)

#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "c_interpreter.h"
#include "machine/core_thread.h"
#include "machine/headless_host.h"
#include "machine/setting_file.h"
#include "machine/talvo_cpu.h"
#include "program_words.h"

namespace {

using namespace program_words;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kMemBytes = 1024 * 1024;
// Ends every benchmark program: a word with no instruction.
constexpr uint32_t kEnd = 0xFF000000;

// R1 counts up by R2 to R3: ADD, CMP, JNQ.
Image RegisterLoop(uint64_t rounds) {
  Image image;
  image.Load(2, 1).Load(3, rounds).Load(4, Back(8));
  image.Emit(Word(Add, 1, 1, 2)).Emit(Word(Cmp, 0, 1, 3)).Emit(Word(JNQ, 0, 0, 4));
  return image.Emit(kEnd);
}

// The same count with a store, a load, a push, a pop, a call and its return in every
// round: RM, MR, PUSH, POP, CALL, RET, ADD, CMP, JNQ.
Image MemoryStackLoop(uint64_t rounds) {
  Image image;
  image.Load(2, 1).Load(3, rounds).Load(4, Back(28)).Load(5, 0x10000).Load(8, 0x20000).Load(9, 20);
  image.Emit(Word(Set, 0, SP, 8));
  image.Emit(Word(RM, 0, 5, 1)).Emit(Word(MR, 6, 0, 5)).Emit(Word(Push, 0, 0, 6)).Emit(Word(Pop, 0, 0, 7));
  image.Emit(Word(Call, 0, 0, 9)).Emit(Word(Add, 1, 1, 2)).Emit(Word(Cmp, 0, 1, 3)).Emit(Word(JNQ, 0, 0, 4));
  return image.Emit(kEnd).Emit(Word(Ret, 0, 0, 0));
}

struct TMeasure {
  uint64_t Steps = 0;
  double Seconds = 0;
  // The longest a window's action waited for the core lock (core thread only).
  double LongestWaitMs = 0;
  double Mips() const { return Seconds > 0 ? static_cast<double>(Steps) / Seconds / 1e6 : 0; }
};

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Seconds of CPU time the process has used: what a path costs, whatever else the
// machine runs at the same time (the helpers' builds share its cores).
double CpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

TMeasure MeasureC(const Image& image) {
  static c_machine machine;
  std::vector<uint8_t> memory(kMemBytes);
  const std::vector<uint8_t> bytes = image.Bytes();
  std::copy(bytes.begin(), bytes.end(), memory.begin());
  std::memset(&machine, 0, sizeof machine);
  machine.memory = memory.data();
  machine.size = memory.size();
  int failed = 0;
  TMeasure measure;
  const double start = CpuSeconds();
  measure.Steps = c_run(&machine, UINT64_MAX, &failed);
  measure.Seconds = CpuSeconds() - start;
  return measure;
}

// A core with the image in its memory, ready at IP 0.
void Load(TTALVOCPU& cpu, const Image& image) {
  cpu.SettingPath = "/nonexistent-folder/bench.setting";
  cpu.MemSize = kMemBytes;
  cpu.Reset();
  const std::vector<uint8_t> bytes = image.Bytes();
  std::copy(bytes.begin(), bytes.end(), cpu.Memory);
}

TMeasure MeasureRun(const Image& image) {
  TTALVOCPU cpu;
  Load(cpu, image);
  TMeasure measure;
  const double start = CpuSeconds();
  measure.Steps = cpu.Run(UINT64_MAX).Steps;
  measure.Seconds = CpuSeconds() - start;
  return measure;
}

TMeasure MeasureTalvorunPath(const Image& image) {
  THeadlessHost host(640, 480);
  TTALVOCPU cpu;
  cpu.Host = &host;
  cpu.LoadPortTable(DefaultPortTable());
  Load(cpu, image);
  TMeasure measure;
  const double start = CpuSeconds();
  measure.Steps = RunHeadless(cpu, host, UINT64_MAX).Steps;
  measure.Seconds = CpuSeconds() - start;
  return measure;
}

// A folder of its own for the settings file and BIOS image the core thread's reset reads.
class TScratch {
 public:
  TScratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "talvo_bench_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) Path = pattern;
  }
  ~TScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  std::filesystem::path Path;
};

// The run as the window runs it: the core thread resets the machine (loading the
// image as its BIOS) and runs blocks, while the window's 60 Hz update takes the core
// lock and, in show mode, the instruction's word and opcode as text.
TMeasure MeasureCoreThread(const Image& image, bool show) {
  TScratch scratch;
  const std::string bios = (scratch.Path / "bios.bin").string();
  TSettingItems items;
  items.Items[SettingMemSize] = "1";
  items.Items[SettingBiosFile] = bios;
  const std::string settings = (scratch.Path / "bench.setting").string();
  if (scratch.Path.empty() || !image.WriteTo(bios) || WriteSettingItems(settings, items) != 1) {
    std::fprintf(stderr, "bench_machine: cannot write the settings and BIOS files\n");
    std::exit(1);
  }
  THeadlessHost host(640, 480);
  TTALVOCPU cpu;
  cpu.Host = &host;
  cpu.SettingPath = settings;
  cpu.OpShowDirect = show ? 1 : 0;

  std::atomic<bool> finished{false};
  double longestWait = 0;
  std::string shown;
  TMeasure measure;
  TCoreThread thread(cpu, true);
  thread.Running = 1;
  const double start = CpuSeconds();
  thread.Resume();
  std::thread window([&] {
    while (!finished.load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(16));
      const Clock::time_point asked = Clock::now();
      std::lock_guard<TCoreLock> guard(cpu.CoreLock);
      longestWait = std::max(longestWait, Since(asked) * 1000);
      if (cpu.OpShowDirect == 1) shown = cpu.LastOpText() + cpu.LastOpcodeText();
    }
  });
  const bool ended = thread.WaitFor(std::chrono::minutes(10));
  measure.Seconds = CpuSeconds() - start;
  finished = true;
  window.join();
  if (!ended) {
    std::fprintf(stderr, "bench_machine: the core thread did not finish\n");
    std::exit(1);
  }
  // The last word fetched is the one that ended the run.
  measure.Steps = cpu.FetchedWords - 1;
  measure.LongestWaitMs = longestWait;
  return measure;
}

// Each path runs this often, alternating, and its fastest run counts: a busy machine
// slows single runs, never speeds them up.
constexpr int kRuns = 7;

bool Report(const char* name, double mips, const char* against, double ratio, double minMips, double minRatio) {
  const bool met = mips >= minMips && ratio >= minRatio;
  std::printf("  %-24s %7.1f M instr/s  %5.2fx %-12s", name, mips, ratio, against);
  if (minMips > 0) std::printf("  target >= %.0f M and >= %.2fx: %s", minMips, minRatio, met ? "met" : "MISSED");
  if (minMips == 0 && minRatio > 0) std::printf("  target >= %.2fx: %s", minRatio, met ? "met" : "MISSED");
  std::printf("\n");
  return met;
}

// One loop through every path; its targets for Run against the C interpreter.
bool MeasureLoop(const char* name, const Image& image, uint64_t expectedSteps, double minMips, double minRatio) {
  std::printf("%s\n", name);
  TMeasure c, run, talvorun, thread, show;
  for (int round = 0; round < kRuns; ++round) {
    const auto keep = [round](TMeasure& best, const TMeasure& m) {
      if (round == 0 || m.Seconds < best.Seconds) best = m;
    };
    keep(c, MeasureC(image));
    keep(run, MeasureRun(image));
    keep(talvorun, MeasureTalvorunPath(image));
    keep(thread, MeasureCoreThread(image, false));
    keep(show, MeasureCoreThread(image, true));
  }
  for (const TMeasure* m : {&c, &run, &talvorun, &thread, &show}) {
    if (m->Steps != expectedSteps) {
      std::printf("  a path ran %llu steps, expected %llu\n", static_cast<unsigned long long>(m->Steps),
                  static_cast<unsigned long long>(expectedSteps));
      return false;
    }
  }
  bool met = true;
  Report("C switch interpreter", c.Mips(), "", 1.0, 0, 0);
  met &= Report("Run", run.Mips(), "C", run.Mips() / c.Mips(), minMips, minRatio);
  Report("talvorun's path", talvorun.Mips(), "C", talvorun.Mips() / c.Mips(), 0, 0);
  met &= Report("core thread", thread.Mips(), "talvorun", thread.Mips() / talvorun.Mips(), 0, 0.9);
  met &= Report("core thread, show mode", show.Mips(), "core thread", show.Mips() / thread.Mips(), 0, 0.5);
  std::printf("  longest wait of the window for the core lock: %.2f ms (%.2f ms in show mode)\n",
              thread.LongestWaitMs, show.LongestWaitMs);
  return met;
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t rounds = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 30000000;
  if (rounds == 0) {
    std::fprintf(stderr, "usage: bench_machine [rounds > 0]\n");
    return 2;
  }
  std::printf("best of %d alternating runs, %llu loop rounds each\n", kRuns, static_cast<unsigned long long>(rounds));
  // Three loads, then three instructions a round.
  const bool registers =
      MeasureLoop("register loop (ADD CMP JNQ)", RegisterLoop(rounds), 3 + 3 * rounds, 450, 0.7);
  // Six loads and SET, then nine instructions a round.
  const bool memory = MeasureLoop("memory and stack loop (RM MR PUSH POP CALL RET ADD CMP JNQ)",
                                  MemoryStackLoop(rounds), 7 + 9 * rounds, 300, 0.45);
  return registers && memory ? 0 : 1;
}
