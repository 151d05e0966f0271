#include "workbench/model/editor_search.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "toolchain/convert_error.h"
#include "workbench/model/workbench_texts.h"

namespace {

auto SameUnit(TFoldCase fold) {
  return [fold](char16_t x, char16_t y) { return fold == nullptr ? x == y : fold(x) == fold(y); };
}

}  // namespace

int32_t FindFrom(std::u16string_view text, std::u16string_view find, int32_t start, TFoldCase fold) {
  if (find.empty() || start < 0 || static_cast<size_t>(start) > text.size()) return -1;
  const auto at = std::search(text.begin() + start, text.end(), find.begin(), find.end(), SameUnit(fold));
  return at == text.end() ? -1 : static_cast<int32_t>(at - text.begin());
}

int32_t FindNextPosition(std::u16string_view text, std::u16string_view find, int32_t selStart,
                         int32_t selLength, TFoldCase fold) {
  const int64_t start = selLength > 0 ? static_cast<int64_t>(selStart) + selLength : 0;
  if (start > INT32_MAX) return -1;
  return FindFrom(text, find, static_cast<int32_t>(start), fold);
}

int32_t FindFirstPosition(std::u16string_view text, std::u16string_view find, TFoldCase fold) {
  return FindNextPosition(text, find, 0, 0, fold);
}

std::vector<int32_t> FindAllPositions(std::u16string_view text, std::u16string_view find, TFoldCase fold) {
  std::vector<int32_t> positions;
  const int32_t length = static_cast<int32_t>(find.size());
  for (int32_t at = FindFirstPosition(text, find, fold); at >= 0; at = FindFrom(text, find, at + length, fold))
    positions.push_back(at);
  return positions;
}

bool SelectionMatches(std::u16string_view text, int32_t selStart, int32_t selLength, std::u16string_view find,
                      TFoldCase fold) {
  if (find.empty() || selStart < 0 || selLength != static_cast<int64_t>(find.size()) ||
      static_cast<int64_t>(selStart) + selLength > static_cast<int64_t>(text.size()))
    return false;
  const std::u16string_view selected = text.substr(static_cast<size_t>(selStart), static_cast<size_t>(selLength));
  return std::equal(selected.begin(), selected.end(), find.begin(), find.end(), SameUnit(fold));
}

std::string CaretText(int32_t line, int32_t column) {
  return wbtext::kCaretLine + std::to_string(line) + wbtext::kCaretColumn + std::to_string(column) +
         wbtext::kCaretEnd;
}

int32_t StrToInt(const std::string& text) {
  const EConvertError error(text);
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
