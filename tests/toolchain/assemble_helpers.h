#pragma once
// Writes sources into a fresh folder per test and runs pass 1 on them.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../common/scratch.h"
#include "toolchain/asm_file.h"

// Loads the text and runs pass 1 only, giving its result.
inline int32_t RunPass1(TAsmFile& file, const TScratchFolder& folder, const std::string& text) {
  if (file.LoadFile(folder.Write("src.casm", text)) != 0) return 1000;
  file.LineNo = 0;
  return file.AssembleLines();
}

inline std::vector<uint32_t> Words(const TAsmFile& file) { return file.Code.All(); }
