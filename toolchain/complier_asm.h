#pragma once
// The assembler driver of a project: assembles every source in project order, stops
// at the first that fails, links the rest into the program image.

#include <cstdint>
#include <string>

#include "toolchain/asm_file.h"
#include "toolchain/link.h"
#include "toolchain/tclist.h"

class TComplierAsm {
 public:
  std::string OutputName;  // the project file's path; the image is named from it
  TCList<TAsmFile> Files;
  std::string Messages;
  TLink Linker;

  void ClearFiles() { Files.Clear(); }
  void AddFile(const std::string& path);
  // 0; -1 no sources or a source failed (Messages holds its text); -2 the link failed.
  int32_t BuildAll();
  int32_t LinkAll();
  // -1 without sources, else 0: a failed per-file output does not fail the build.
  int32_t SaveAllHex();
  int32_t SaveAllTvxBin();
  int32_t SaveAllLst();

 private:
  int32_t ForEachFile(int32_t (TAsmFile::*save)());
};
