#include "toolchain/line_sym.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "toolchain/gbk_texts.h"
#include "toolchain/hex_text.h"
#include "toolchain/le_file.h"

namespace {

constexpr size_t kNumbersSize = kLineSymRecordSize - kLineSymNameField;

void AppendDecimal(std::string& out, int32_t value) {
  char digits[16];
  out.append(digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
}

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
  // A linker listing dumps hundreds of thousands of records: the eight word lines
  // are put together in one piece.
  out.append(gbk::kSymTextCodeCount);
  AppendDecimal(out, CodeCount);
  out.append("\r\n").append(gbk::kSymTextLineNum);
  AppendDecimal(out, LineNum);
  out.append("\r\n").append(gbk::kSymTextSymName);
  // The name as a C string prints it: up to a NUL it may hold.
  out.append(SymName.c_str());
  char words[2 + 8 * 24] = {'\r', '\n'};
  char* p = words + 2;
  for (int i = 0; i < 8; ++i) {
    const std::string_view label = i < 4 ? "Offset[" : "Segment[";
    p = std::copy(label.begin(), label.end(), p);
    *p++ = static_cast<char>('0' + i % 4);
    *p++ = ']';
    *p++ = '=';
    p = PutHex8(p, i < 4 ? Offset[i] : Segment[i - 4], true);
    *p++ = '\r';
    *p++ = '\n';
  }
  out.append(words, static_cast<size_t>(p - words));
}
