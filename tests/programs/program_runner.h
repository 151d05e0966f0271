#pragma once
// Assembles a test program with the real assembler, runs it on the real core (in
// this process with a recording host, or through talvorun) and compares the end state
// with what the program expects.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "machine/headless_host.h"
#include "machine/talvo_cpu.h"
#include "machine/value128.h"
#include "program_spec.h"
#include "../common/scratch.h"

// A test program copied into a scratch folder and assembled there.
struct TPreparedProgram {
  TProgramSpec Spec;
  std::string ImagePath;
  std::string Image;  // the image's bytes
  std::string FloppyPath, DiskPath;  // where the drives' images go, when the spec asks
};

// False, with the reasons in problems, when the program's expectations cannot be read
// or it does not assemble.
bool PrepareTestProgram(const std::string& sourcePath, const TScratchFolder& scratch, TPreparedProgram& out,
                        std::vector<std::string>& problems);

// What a run ended in, as the expectations compare it.
struct TEndState {
  bool Failed = false;
  // General registers 0..255, then the special registers by number at 256 + n.
  std::array<Value128, 266> Registers{};
  // The memory byte at an address, or -1 for one the run cannot show.
  std::function<int(uint64_t)> MemoryByte;
};

// Compares registers, memory, the failure and the disk images (read from their files).
void CompareEndState(const TPreparedProgram& program, const TEndState& end, std::vector<std::string>& problems);

// Gives the machine the program's set-up: its screen, ports, key and mouse, the drive
// images (at the given paths, when the spec asks for them) and the image loaded and
// reset. False, with the reason in problems, when that fails.
bool SetUpMachine(const TPreparedProgram& program, TTALVOCPU& cpu, THeadlessHost& host, const std::string& floppy,
                  const std::string& disk, std::vector<std::string>& problems);

// Runs the program in this process until IP reaches the end of its code or a step
// fails. The mismatches of one program, one text each; empty when it ran as expected.
std::vector<std::string> RunTestProgram(const std::string& sourcePath);

// Every "*.casm" file of the folder, sorted by name.
std::vector<std::string> ListTestPrograms(const std::string& folder);

// Far more than any test program needs; a program still running then is looping.
constexpr uint64_t kTestProgramStepLimit = 1000000;
