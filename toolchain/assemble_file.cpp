// The whole road of one source: load, pass 1, pass 2, object file.

#include "toolchain/asm_file.h"

int32_t TAsmFile::AssembleFile(const std::string& path) {
  if (const int32_t result = AssembleInMemory(path); result != 0) return result;
  const TWriteFailure failure = WriteQobj();
  if (failure.Error == 0) return 0;
  AddQobjFailure(failure);
  return -4;
}

int32_t TAsmFile::AssembleInMemory(const std::string& path) {
  if (LoadFile(path) != 0) return -1;
  FileName = path;
  LineNo = 0;
  if (AssembleLines() != 0) return -2;
  ResolveLabels();
  if (PrepareQobj() < 0) return -4;
  return 0;
}
