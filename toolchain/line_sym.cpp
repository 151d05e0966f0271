#include "toolchain/line_sym.h"

#include <cstring>

#include "toolchain/gbk_texts.h"
#include "toolchain/le_file.h"

namespace {

constexpr size_t kNumbersSize = kLineSymRecordSize - kLineSymNameField;

std::string Hex8(uint32_t word) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", word);
  return text;
}

}  // namespace

int32_t TLineSym::WriteTo(std::FILE* file) const {
  if (!NameFits()) return -1;
  unsigned char record[kLineSymRecordSize] = {};
  PutWordLE(record, static_cast<uint32_t>(CodeCount));
  PutWordLE(record + 4, static_cast<uint32_t>(LineNum));
  for (int i = 0; i < 4; ++i) {
    PutWordLE(record + 8 + 4 * i, Offset[i]);
    PutWordLE(record + 24 + 4 * i, Segment[i]);
  }
  std::memcpy(record + kNumbersSize, SymName.data(), SymName.size());
  return std::fwrite(record, 1, sizeof record, file) == sizeof record ? 0 : -1;
}

int32_t TLineSym::ReadFrom(std::FILE* file) {
  unsigned char record[kLineSymRecordSize];
  if (std::fread(record, 1, sizeof record, file) != sizeof record) return -1;
  CodeCount = static_cast<int32_t>(GetWordLE(record));
  LineNum = static_cast<int32_t>(GetWordLE(record + 4));
  for (int i = 0; i < 4; ++i) {
    Offset[i] = GetWordLE(record + 8 + 4 * i);
    Segment[i] = GetWordLE(record + 24 + 4 * i);
  }
  const char* name = reinterpret_cast<const char*>(record + kNumbersSize);
  SymName.assign(name, strnlen(name, kLineSymNameField));
  return 0;
}

std::string TLineSym::ToText() const {
  std::string text;
  text += gbk::kSymTextCodeCount + std::to_string(CodeCount) + "\r\n";
  text += gbk::kSymTextLineNum + std::to_string(LineNum) + "\r\n";
  text += gbk::kSymTextSymName + SymName + "\r\n";
  for (int i = 0; i < 4; ++i) {
    text += "Offset[" + std::to_string(i) + "]=" + Hex8(Offset[i]) + "\r\n";
  }
  for (int i = 0; i < 4; ++i) {
    text += "Segment[" + std::to_string(i) + "]=" + Hex8(Segment[i]) + "\r\n";
  }
  return text;
}
