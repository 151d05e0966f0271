#pragma once
// The build that both `kelmoc build` and a project build run.

#include <string>
#include <vector>

struct TBuildOptions {
  bool Hex = false;
  bool TvxBin = false;
  bool Lst = false;
};

// Builds the sources into the image named from output and prints the report;
// the process exit code: 0 built, 1 failed.
int RunBuild(const std::string& output, const std::vector<std::string>& sources,
             const TBuildOptions& options);
