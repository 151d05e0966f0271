#pragma once
// One object file held in memory during a link.

#include <cstdint>
#include <string>
#include <vector>

#include "base/replacing_file.h"
#include "toolchain/line_sym.h"
#include "toolchain/tclist.h"

class TQOBJFile {
 public:
  int32_t CodeSize = 0;  // 4 x the words in Code
  std::vector<uint32_t> Code;
  std::string FileName;
  TCList<TLineSym> mOpLines;
  TCList<TLineSym> mLines;

  TQOBJFile() = default;
  TQOBJFile(const TQOBJFile& other) { Assign(other); }
  TQOBJFile& operator=(const TQOBJFile& other) { return Assign(other); }
  TQOBJFile(TQOBJFile&&) = default;
  TQOBJFile& operator=(TQOBJFile&&) = default;

  // 0 read; -1 cannot open, also a folder, FIFO or device (the record keeps what it
  // held; the reason goes to `error`); -2 not an object file; -3 negative word count;
  // -4 the words cannot be allocated; -5 the file ends before its counts are
  // satisfied. After any failure but -1 the record is empty.
  int32_t LoadFromFile(const std::string& path, int* error = nullptr);
  // Deep copy; a copy whose words cannot be allocated holds no code.
  TQOBJFile& Assign(const TQOBJFile& other);

 private:
  void Empty();
  int32_t ReadContent(std::FILE* file);
};

// The symbol dump of one object in the linker listing: the object file's name, then
// both lists with their counts.
void AppendObjectDump(TReplacingFile& listing, const std::string& fileName,
                      const TCList<TLineSym>& lines, const TCList<TLineSym>& opLines);
