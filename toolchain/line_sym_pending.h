#pragma once
// The symbol record comes from line_sym.h. Until that header is in the tree, the
// agreed declaration below stands in for it so that the passes build.

#if __has_include("toolchain/line_sym.h")
#include "toolchain/line_sym.h"
#else
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

constexpr size_t kLineSymNameField = 1024;
constexpr size_t kLineSymRecordSize = 1064;

class TLineSym {
 public:
  std::string SymName;
  int32_t CodeCount = 0;
  int32_t LineNum = 0;
  uint32_t Offset[4] = {};
  uint32_t Segment[4] = {};

  void Clear();
  int32_t WriteTo(std::FILE* file) const;
  int32_t ReadFrom(std::FILE* file);
  std::string ToText() const;
};
#endif
