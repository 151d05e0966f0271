#include "workbench/model/editor_search.h"

#include <cctype>

#include "toolchain/convert_error.h"
#include "workbench/model/workbench_texts.h"

int32_t FindNextPosition(std::u16string_view text, std::u16string_view find, int32_t selStart,
                         int32_t selLength) {
  int64_t start = selLength > 0 ? static_cast<int64_t>(selStart) + selLength : 0;
  if (find.empty() || start < 0 || start > static_cast<int64_t>(text.size())) return -1;
  const size_t at = text.find(find, static_cast<size_t>(start));
  return at == std::u16string_view::npos ? -1 : static_cast<int32_t>(at);
}

int32_t FindFirstPosition(std::u16string_view text, std::u16string_view find) {
  return FindNextPosition(text, find, 0, 0);
}

std::string CaretText(int32_t line, int32_t column) {
  return wbtext::kCaretLine + std::to_string(line) + wbtext::kCaretColumn + std::to_string(column) +
         wbtext::kCaretEnd;
}

int32_t StrToInt(const std::string& text) {
  const EConvertError error("'" + text + "' is not a valid integer value");
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) throw error;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int digit = -1;
    if (std::isdigit(c)) digit = c - '0';
    else if (base == 16 && std::isxdigit(c)) digit = std::tolower(c) - 'a' + 10;
    if (digit < 0) throw error;
    value = value * base + digit;
    if (value > (int64_t{1} << 32)) throw error;
  }
  if (negative) value = -value;
  if (base == 10 && (value > INT32_MAX || value < INT32_MIN)) throw error;
  if (base == 16 && (value > UINT32_MAX || value < INT32_MIN)) throw error;
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

int32_t JumpLine(int32_t requested, int32_t lineCount) {
  if (lineCount < 1) return 1;
  if (requested < 1) return 1;
  return requested > lineCount ? lineCount : requested;
}
