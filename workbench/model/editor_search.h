#pragma once
// Find, replace, caret and jump-to-line arithmetic of the editors, in the editor's
// own coordinates: UTF-16 units with one position per line break, as the text
// control counts them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How the search compares letters: one UTF-16 unit to the unit it is compared
// as. Null compares exactly (case-sensitive).
using TFoldCase = char16_t (*)(char16_t unit);

// The first occurrence at or after `start`; -1 when absent or `start` is outside
// the text (an empty find text is never found).
int32_t FindFrom(std::u16string_view text, std::u16string_view find, int32_t start, TFoldCase fold = nullptr);
// Where "find next" finds the text: searching starts after the selection, or at the
// start of the text when nothing is selected. -1 when absent (an empty find text
// is never found).
int32_t FindNextPosition(std::u16string_view text, std::u16string_view find, int32_t selStart,
                         int32_t selLength, TFoldCase fold = nullptr);
// The first occurrence in the whole text, whatever is selected; -1 when absent.
int32_t FindFirstPosition(std::u16string_view text, std::u16string_view find, TFoldCase fold = nullptr);
// Every occurrence from the start, none overlapping the one before.
std::vector<int32_t> FindAllPositions(std::u16string_view text, std::u16string_view find,
                                      TFoldCase fold = nullptr);
// Whether the selection is exactly an occurrence of the find text.
bool SelectionMatches(std::u16string_view text, int32_t selStart, int32_t selLength, std::u16string_view find,
                      TFoldCase fold = nullptr);

// "第<line>行,第<column>列" in GBK, line and column counted from 1.
std::string CaretText(int32_t line, int32_t column);

// The platform's string-to-integer conversion: optional sign, decimal digits or
// "$"/"0x" hexadecimal, within 32 bits; anything else throws EConvertError.
int32_t StrToInt(const std::string& text);
// The line (from 1) the jump goes to: numbers outside the text go to its first or
// last line.
int32_t JumpLine(int32_t requested, int32_t lineCount);
