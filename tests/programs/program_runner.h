#pragma once
// Assembles a test program with the real assembler, runs it on the real core with a
// recording host, and compares the end state with what the program expects.

#include <string>
#include <vector>

// The mismatches of one program, one text each; empty when it ran as expected. A
// program that does not assemble or run is reported the same way.
std::vector<std::string> RunTestProgram(const std::string& sourcePath);

// Every "*.casm" file of the folder, sorted by name.
std::vector<std::string> ListTestPrograms(const std::string& folder);
