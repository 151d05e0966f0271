#include "toolchain/line_sym.h"

#include <cstring>

#include "toolchain/gbk_texts.h"
#include "toolchain/hex_text.h"
#include "toolchain/le_file.h"

namespace {

constexpr size_t kNumbersSize = kLineSymRecordSize - kLineSymNameField;

}  // namespace

bool TLineSym::AppendRecord(std::string& out) const {
  if (!NameFits()) return false;
  const size_t start = out.size();
  out.resize(start + kLineSymRecordSize, '\0');
  auto* record = reinterpret_cast<unsigned char*>(out.data()) + start;
  PutWordLE(record, static_cast<uint32_t>(CodeCount));
  PutWordLE(record + 4, static_cast<uint32_t>(LineNum));
  for (int i = 0; i < 4; ++i) {
    PutWordLE(record + 8 + 4 * i, Offset[i]);
    PutWordLE(record + 24 + 4 * i, Segment[i]);
  }
  std::memcpy(record + kNumbersSize, SymName.data(), SymName.size());
  return true;
}

void TLineSym::FromRecord(const unsigned char* record) {
  CodeCount = static_cast<int32_t>(GetWordLE(record));
  LineNum = static_cast<int32_t>(GetWordLE(record + 4));
  for (int i = 0; i < 4; ++i) {
    Offset[i] = GetWordLE(record + 8 + 4 * i);
    Segment[i] = GetWordLE(record + 24 + 4 * i);
  }
  const char* name = reinterpret_cast<const char*>(record + kNumbersSize);
  SymName.assign(name, strnlen(name, kLineSymNameField));
}

std::string TLineSym::ToText() const {
  std::string text;
  AppendText(text);
  return text;
}

void TLineSym::AppendText(std::string& out) const {
  out += gbk::kSymTextCodeCount;
  out += std::to_string(CodeCount);
  out += "\r\n";
  out += gbk::kSymTextLineNum;
  out += std::to_string(LineNum);
  out += "\r\n";
  out += gbk::kSymTextSymName;
  out += SymName;
  out += "\r\n";
  for (int i = 0; i < 4; ++i) {
    out += "Offset[";
    out += static_cast<char>('0' + i);
    out += "]=";
    AppendHex8(out, Offset[i], true);
    out += "\r\n";
  }
  for (int i = 0; i < 4; ++i) {
    out += "Segment[";
    out += static_cast<char>('0' + i);
    out += "]=";
    AppendHex8(out, Segment[i], true);
    out += "\r\n";
  }
}
