#pragma once
// Files the workbench tests share.

#include "../common/scratch.h"

#include <filesystem>
#include <string>

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// Two sources that assemble and link: the first jumps to a label of the second.
inline void WriteGoodSources(const TScratchFolder& dir) {
  WriteBytes(dir.File("a.casm"), "LD R8 OFFSET sub\r\nJMP R0 R8\r\nback:\r\nLD R1 1\r\n");
  WriteBytes(dir.File("b.casm"), "sub:\r\nLD R2 2\r\nLD R8 OFFSET back\r\nJMP R0 R8\r\n");
}
