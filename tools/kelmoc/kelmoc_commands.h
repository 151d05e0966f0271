#pragma once
// What the commands of kelmoc share: printing the pane lines and reporting a build.

#include <cstdint>
#include <cstdio>
#include <string>

// Prints a GBK text in UTF-8, one line per line of the text as the pane shows it.
void PrintGbkLines(std::FILE* stream, const std::string& gbkText);

// Prints the build command's report for a build result and the driver's messages;
// the process exit code: 0 built, 1 failed.
int PrintBuildReport(int32_t result, const std::string& driverMessages);
