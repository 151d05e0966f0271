#pragma once
// kelmoc's command line, read into the command it asks for. Kept apart from the
// commands themselves, so that it can be tested and fuzzed without running a build.

#include <string>
#include <vector>

#include "toolchain/complier_asm.h"

enum class TKelmocAction { Usage, Compile, Build, Project };

struct TKelmocCommand {
  TKelmocAction Action = TKelmocAction::Usage;
  std::string Source;                // compile
  std::string Output;                // build: the project name the image is named from
  std::vector<std::string> Sources;  // build
  TPerFileOutputs Outputs;           // build
  std::string ProjectFile;           // project
};

// The arguments after the program name; anything kelmoc does not understand is Usage.
TKelmocCommand ParseCommandLine(const std::vector<std::string>& args);

// Printed, on standard error, for Usage.
extern const char kKelmocUsage[];
