#pragma once
// Reads the programmer's reference (docs/*.md) the way its tests need it: the table
// that follows a check marker, and the code blocks marked as complete programs with
// the results they state.

#include <string>
#include <vector>

#include "machine/value128.h"

// The chapters' text, each file's name with its content, in name order.
struct TChapter {
  std::string Name;
  std::string Text;
};
std::vector<TChapter> ReadReference();

// The body rows of the first Markdown table after the line "<!-- check: NAME -->",
// each row's cells trimmed and without backticks. Empty when there is no such table.
std::vector<std::vector<std::string>> CheckedTable(const std::string& name);

// One result a complete program states: "// 结果：NAME = VALUE".
struct TStatedResult {
  std::string Name;        // "R3", a special register's name, or "内存[0H1000]"
  Value128 Value = 0;      // the register's value, or the 16 bytes at the address
  bool IsMemory = false;
  uint64_t Address = 0;
  std::string Line;        // the line as written, for messages
};

// A code block whose info string is "casm 完整程序".
struct TProgramBlock {
  std::string Where;   // chapter and number, for messages
  std::string Source;  // UTF-8, lines ending LF
  std::vector<TStatedResult> Results;
  std::vector<std::string> Problems;  // result lines that cannot be read
};
std::vector<TProgramBlock> CompletePrograms();

// A value as the reference writes it: decimal, or hexadecimal after "0H". False for
// anything else, or more than 128 bits.
bool ParseReferenceValue(const std::string& text, Value128& out);
