#pragma once
// What the commands of kelmoc share: printing the pane lines and running a build.

#include <cstdint>
#include <cstdio>
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

// Prints a GBK text as one line of UTF-8.
void PrintGbkLine(std::FILE* stream, const std::string& gbkText);

// Prints the build command's report for a build result and the driver's messages;
// the process exit code: 0 built, 1 failed.
int PrintBuildReport(int32_t result, const std::string& driverMessages);
