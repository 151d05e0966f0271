#pragma once
// What the compile and build commands report for a toolchain result: the lines of
// the "系统信息" pane and, for a build, the status text, in UTF-8 as the toolchain's
// Messages are. The workbench shows them in its window, kelmoc on the terminal.

#include <cstdint>
#include <string>
#include <vector>

struct TBuildReport {
  std::vector<std::string> Lines;  // after the "正在编译..." line
  std::string Status;              // empty for the compile command
};

// A text as the pane adds it in one call: one line per line end, no empty line
// after a final line end, and one empty line for an empty text.
std::vector<std::string> PaneLines(const std::string& text);

// The compile-current-file command, for AssembleFile's result and Messages.
TBuildReport CompileReport(int32_t result, const std::string& messages);
// The build command, for the project's build result and the driver's Messages and
// Warnings; the warnings come first, whatever the result.
TBuildReport BuildReport(int32_t result, const std::string& driverMessages, const std::string& warnings);
