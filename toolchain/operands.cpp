#include "toolchain/operands.h"

#include <string>

#include "isa/special_registers.h"
#include "toolchain/convert_error.h"
#include "toolchain/gbk_texts.h"

namespace {

// The platform's string-to-integer conversion: an optional sign and decimal digits
// filling the whole text, within 32 bits; anything else raises its conversion error.
int32_t StrToInt(std::string_view text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '+' || negative)) ++i;
  bool valid = i < text.size();
  int64_t value = 0;
  for (; valid && i < text.size(); ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
    value = value * 10 + digit;
    valid = digit <= 9 && value <= int64_t{INT32_MAX} + 1;
  }
  if (negative) value = -value;
  if (!valid || value > INT32_MAX) {
    throw EConvertError(std::string(text));
  }
  return static_cast<int32_t>(value);
}

struct TKeywordKind {
  std::string_view Keyword;
  int32_t Kind;
};

// In the order they are tried.
constexpr TKeywordKind kLabelKeywords[] = {
    {gbk::kKeywordOffset, RefKindOffset}, {"OFFSET", RefKindOffset},
    {"SEGMENT", RefKindSegment},          {gbk::kKeywordSegment, RefKindSegment},
    {gbk::kKeywordLabel, RefKindLabel},   {"LABEL", RefKindLabel},
    {gbk::kKeywordData, RefKindData},     {"=", RefKindData},
};

int32_t AppendReference(std::string_view name, int32_t kind, int32_t lineAddr,
                        TCList<TLineSym>* list) {
  if (list == nullptr) return -1;
  TLineSym ref;
  ref.SymName = std::string(name);
  ref.CodeCount = kind;
  ref.LineNum = lineAddr;
  ref.Offset[0] = static_cast<uint32_t>(lineAddr);
  return list->Append(std::move(ref)) ? 0 : -1;
}

}  // namespace

int32_t ParseRegister(std::string_view operand) {
  // The common case: R and up to three digits, which the rules below read the same.
  if (operand.size() >= 2 && operand.size() <= 4 && operand[0] == 'R') {
    int32_t number = 0;
    size_t i = 1;
    for (; i < operand.size() && operand[i] >= '0' && operand[i] <= '9'; ++i) {
      number = number * 10 + (operand[i] - '0');
    }
    if (i == operand.size()) return number <= kMaxRegisterNumber ? number : -1;
  }
  // One look at the bytes finds the first "R"; the keyword is GBK, so only an
  // operand with bytes above 0x7F can hold it.
  size_t letter = std::string_view::npos;
  bool ascii = true;
  for (size_t i = 0; i < operand.size(); ++i) {
    if (static_cast<unsigned char>(operand[i]) > 0x7F) ascii = false;
    if (operand[i] == 'R' && letter == std::string_view::npos) letter = i;
  }
  const std::string_view keyword = gbk::kRegisterKeyword;
  size_t start = ascii ? std::string_view::npos : operand.find(keyword);
  if (start != std::string_view::npos) {
    start += keyword.size();
  } else {
    if (letter == std::string_view::npos) return -1;
    start = letter + 1;
  }
  const int32_t number = StrToInt(operand.substr(start));
  // A number outside the 8-bit field would spill into the opcode.
  if (number < 0 || number > kMaxRegisterNumber) return -1;
  return number;
}

int32_t ParseSpecialRegister(std::string_view operand) {
  for (int32_t i = 0; i < isa::kSpecialRegisterCount; ++i) {
    const isa::SpecialRegisterName& name = isa::kSpecialRegisterNames[i];
    if (operand == name.Chinese || operand == name.English) return i;
  }
  return -1;
}

int32_t DecToInt128(std::string_view digits, uint32_t* out) {
  if (out == nullptr) return -5;
  out[0] = out[1] = out[2] = out[3] = 0;
  if (digits.empty()) return -4;
  if (digits.size() > kMaxDecimalDigits) return -7;
  unsigned __int128 value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return -2;
    // Wrapping arithmetic keeps exactly the low 128 bits of the value.
    value = value * 10u + static_cast<unsigned>(c - '0');
  }
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint32_t>(value >> (32 * i));
  return 0;
}

int32_t HexToInt128(std::string_view digits, uint32_t* out) {
  if (out == nullptr) return -5;
  out[0] = out[1] = out[2] = out[3] = 0;
  constexpr size_t kMaxHexDigits = 32;
  if (digits.size() > kMaxHexDigits) digits.remove_prefix(digits.size() - kMaxHexDigits);
  for (size_t i = 0; i < digits.size(); ++i) {
    const char c = digits[digits.size() - 1 - i];
    uint32_t nibble = 0;
    if (c >= '0' && c <= '9') {
      nibble = static_cast<uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      nibble = static_cast<uint32_t>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      nibble = static_cast<uint32_t>(c - 'a' + 10);
    }
    out[i / 8] |= nibble << (4 * (i % 8));
  }
  return 0;
}

int32_t AddLabelRef(std::string_view keyword, std::string_view name, int32_t lineAddr,
                    TCList<TLineSym>* list) {
  if (list == nullptr) return -1;
  for (const TKeywordKind& entry : kLabelKeywords) {
    if (keyword == entry.Keyword) return AppendReference(name, entry.Kind, lineAddr, list);
  }
  return -1;
}

int32_t AddFuncLabelRef(std::string_view name, int32_t lineAddr, TCList<TLineSym>* list) {
  return AppendReference(name, RefKindLabel, lineAddr, list);
}
