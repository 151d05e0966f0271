#pragma once
// Numbers written as digit strings: binary ('0'/'1', most significant first) and
// decimal ('0'..'9'), used by the calculator, the register editors and the test
// dialog. Every call returns a result of its own and keeps no state, so any thread
// may call them at any time.
//
// A routine that refuses its input returns std::nullopt (a window shows it as an
// empty text). Inputs are refused instead of being truncated or read past their
// end: longer than the 128 digits a register holds, or holding characters other
// than the digits the routine computes with.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "machine/value128.h"

class RegBits;

// 1 when s[0..n-1] are all '0' (also for n <= 0), else 0. n beyond s counts only s.
int IsAllZeroDigits(std::string_view s, int n);

// The value of a decimal text in binary digits without leading zeros ("0" for zero;
// an empty text counts as zero). Refused: 128 characters or more, a character other
// than '0'..'9', or a value of 2^128 or more.
std::optional<std::string> DecStrToBinStr(std::string_view decimal);

// The binary text right-aligned over '0' to 128 digits. Refused: more than 128
// characters or a character other than '0'/'1'.
std::optional<std::string> PadBinStr128(std::string_view binary);

// The 128-digit sum of a + b + carryIn (0 or 1) into out; carryOut is 1 when the
// sum leaves 128 bits. Results: 0 done; -2 a refused, -3 b refused (as PadBinStr128
// refuses); out and carryOut are untouched when refused.
int BinStrAdd128(std::string& out, std::string_view a, std::string_view b, uint8_t& carryOut,
                 uint8_t carryIn);

// The decimal value of the first n digits of a binary text, without leading zeros.
// Refused: n <= 0, more than 128 digits taking part, or a character other than '0'/'1'
// among them.
std::optional<std::string> BinStrToDecStr(std::string_view binary, int n);

// The text without one leading '-'; anything else stays as it is. Refused: more than
// 128 characters.
std::optional<std::string> DecStrAbs(std::string_view decimal);

// '0' and '1' swapped position by position; other characters stay. Refused: empty
// or more than 128 characters.
std::optional<std::string> BinStrNot(std::string_view binary);
std::optional<std::string> BinStrNot128(std::string_view binary);

// Two's complement in 128 digits (ones' complement plus one, carry dropped).
// Refused where BinStrNot refuses or the text holds other characters than '0'/'1'.
std::optional<std::string> BinStrNeg128(std::string_view binary);

// The 128 bit-bytes as '0'/'1' characters, most significant first.
std::string BitsToBinStr128(const RegBits& bits);

// Stores the binary text right-aligned into out: the last digit becomes bit 0.
// Positions left of the text are not written (callers clear out first). False, out
// unchanged, where PadBinStr128 refuses.
bool BinStrToBits128(std::string_view binary, RegBits& out);

// Native conversions behind the routines above.
std::string Value128ToBinStr(Value128 value);  // no leading zeros, "0" for zero
std::string Value128ToDecStr(Value128 value);  // no leading zeros, "0" for zero
// Same refusals as DecStrToBinStr (an empty text is zero).
bool DecStrToValue128(std::string_view decimal, Value128& out);

// A fixed-width decimal number: 128 digits right-aligned over '0', then NUL;
// arithmetic is modulo 10^128.
struct Dec128 {
  char Digits[129];
  std::string_view View() const { return {Digits, 128}; }
};

// 128 '0' then the digits right-aligned. Refused: more than 128 characters or a
// character other than '0'..'9'.
std::optional<Dec128> Dec128Assign(std::string_view digits);
Dec128 Dec128Zero();
Dec128 Dec128Add(const Dec128& a, const Dec128& b);
// a * n modulo 10^128; a negative factor counts as 0.
Dec128 Dec128MulInt(const Dec128& a, int64_t n);
