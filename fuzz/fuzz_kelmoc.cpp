// kelmoc's command line: the arguments (each ended by a NUL) read as kelmoc reads
// them, and the command run by kelmoc's own code when every name stays in its folder.
// The folder holds two sources that reference each other, a project listing them
// and a source without extension.
//
// Properties: a command reads back the same from the arguments that show it; no
// command changes a file it reads (its sources, its project file).

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "command_line.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "fuzz_scratch.h"
#include "kelmoc_commands.h"
#include "workbench/model/project.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMaxArguments = 12;

std::vector<std::string> ShownArguments(const TKelmocCommand& command) {
  switch (command.Action) {
    case TKelmocAction::Compile: return {"compile", command.Source};
    case TKelmocAction::Project: return {"project", command.ProjectFile};
    case TKelmocAction::Build: {
      std::vector<std::string> args = {"build"};
      if (command.Outputs.Hex) args.push_back("--hex");
      if (command.Outputs.TvxBin) args.push_back("--tvxbin");
      if (command.Outputs.Lst) args.push_back("--lst");
      args.push_back(command.Output);
      args.insert(args.end(), command.Sources.begin(), command.Sources.end());
      return args;
    }
    case TKelmocAction::Usage: break;
  }
  return {};
}

bool SameCommand(const TKelmocCommand& a, const TKelmocCommand& b) {
  return a.Action == b.Action && a.Source == b.Source && a.Output == b.Output && a.Sources == b.Sources &&
         a.ProjectFile == b.ProjectFile && a.Outputs.Hex == b.Outputs.Hex &&
         a.Outputs.TvxBin == b.Outputs.TvxBin && a.Outputs.Lst == b.Outputs.Lst;
}

// A fresh folder for every input, so that each runs alone as it would be replayed.
void WriteInputs() {
  std::error_code ignored;
  fs::remove_all(ScratchFolder() / "cmd", ignored);
  fs::create_directories(ScratchFolder() / "cmd");
  WriteScratch("cmd/a.casm", "a:\r\nLD R1 OFFSET b\r\nFUNC b\r\nRET\r\n");
  WriteScratch("cmd/b.casm", "b:\r\nLD R2 LABEL a\r\nIRET\r\n");
  WriteScratch("cmd/p.tvxPrj", "a.casm\r\nb.casm\r\n");
  WriteScratch("cmd/noext", "RET\r\n");
}

// The names of the files the command reads: its sources, or its project file and
// the sources that lists.
std::vector<std::string> NamesRead(const TKelmocCommand& command) {
  std::vector<std::string> names = command.Sources;
  if (command.Action == TKelmocAction::Compile) names.push_back(command.Source);
  if (command.Action == TKelmocAction::Project) {
    names.push_back(command.ProjectFile);
    TProject project;
    try {
      if (project.LoadFromFile(command.ProjectFile) == 0) {
        for (const std::string& file : project.AllFiles()) names.push_back(file);
      }
    } catch (const std::exception&) {
    }
  }
  return names;
}

// The files of those names there are, with their bytes.
std::map<std::string, std::string> FilesNamed(const std::vector<std::string>& names) {
  std::map<std::string, std::string> files;
  for (const std::string& name : names) {
    std::error_code error;
    if (fs::is_regular_file(name, error)) files[name] = ReadScratch("cmd/" + name);
  }
  return files;
}

// Runs the command as kelmoc does, with what it prints out of the fuzzer's log (a
// crash still leaves its input behind, which the replay shows in full).
void RunQuietly(const TKelmocCommand& command) {
  static const int nowhere = ::open("/dev/null", O_WRONLY);
  std::fflush(stdout);
  std::fflush(stderr);
  const int out = ::dup(1), err = ::dup(2);
  ::dup2(nowhere, 1);
  ::dup2(nowhere, 2);
  RunKelmoc(command);
  std::fflush(stdout);
  std::fflush(stderr);
  ::dup2(out, 1);
  ::dup2(err, 2);
  ::close(out);
  ::close(err);
}

// No name with a folder in it: everything the command reads or writes is in the folder.
bool StayInFolder(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (name.find('/') != std::string::npos) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  std::vector<std::string> args;
  while (!input.Empty() && args.size() < kMaxArguments) args.push_back(input.Text());
  const TKelmocCommand command = ParseCommandLine(args);
  if (command.Action == TKelmocAction::Usage) return 0;
  Check(SameCommand(ParseCommandLine(ShownArguments(command)), command), "a command reads back from its arguments");
  if (!StayInFolder(ShownArguments(command))) return 0;

  WriteInputs();
  TInFolder inFolder(ScratchFolder() / "cmd");
  const std::vector<std::string> names = NamesRead(command);
  if (!StayInFolder(names)) return 0;
  const std::map<std::string, std::string> before = FilesNamed(names);
  RunQuietly(command);
  for (const auto& [name, bytes] : before) {
    Check(ReadScratch("cmd/" + name) == bytes, "a command does not change a file it reads");
  }
  return 0;
}
