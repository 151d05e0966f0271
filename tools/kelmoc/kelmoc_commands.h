#pragma once
// kelmoc's commands, apart from its main so that a fuzz target runs the very same
// code: printing the pane lines, reporting a build, and running a parsed command.

#include <cstdint>
#include <cstdio>
#include <string>

#include "command_line.h"
#include "standard_output.h"
#include "toolchain/build_report.h"

// Prints a UTF-8 text (the toolchain's Messages, an error's message), one line per
// line of the text as the pane shows it: on the report, standard output, or on
// standard error.
void PrintLines(TStandardOutput& report, const std::string& text);
void PrintErrorLines(const std::string& text);
// The same for a GBK text, printed in UTF-8.
void PrintGbkLines(TStandardOutput& report, const std::string& gbkText);
void PrintGbkErrorLines(const std::string& gbkText);

// Prints the build command's report of a build result; the process exit code: 0
// built, 1 failed.
int PrintBuildReport(TStandardOutput& report, int32_t result, const TBuildReport& lines);

// Runs the command as kelmoc does, its report on `report`, and gives its exit code:
// 0 done, 1 failed, 2 usage. The report is left open: whether it was written whole
// is for its Close to say.
int RunKelmoc(const TKelmocCommand& command, TStandardOutput& report);
// The same, for a caller that keeps standard output open and has no use for it.
int RunKelmoc(const TKelmocCommand& command);
