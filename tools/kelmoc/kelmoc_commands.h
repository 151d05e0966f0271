#pragma once
// kelmoc's commands, apart from its main so that a fuzz target runs the very same
// code: printing the pane lines, reporting a build, and running a parsed command.

#include <cstdint>
#include <cstdio>
#include <string>

#include "command_line.h"
#include "toolchain/build_report.h"

// Prints a UTF-8 text (the toolchain's Messages, an error's message), one line per
// line of the text as the pane shows it.
void PrintLines(std::FILE* stream, const std::string& text);
// The same for a GBK text, printed in UTF-8.
void PrintGbkLines(std::FILE* stream, const std::string& gbkText);

// Prints the build command's report of a build result; the process exit code: 0
// built, 1 failed.
int PrintBuildReport(int32_t result, const TBuildReport& report);

// Runs the command as kelmoc does and gives its exit code: 0 done, 1 failed, 2 usage.
int RunKelmoc(const TKelmocCommand& command);
