#pragma once
// Operand parsers: register numbers, special registers, 128-bit literals and the
// label references that LD and FUNC record for later resolution.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "toolchain/line_sym.h"
#include "toolchain/tclist.h"

// The kind of a label reference, kept in the reference's CodeCount.
enum TRefKind : int32_t {
  RefKindOffset = 0,
  RefKindSegment = 1,
  RefKindLabel = 2,
  RefKindData = 3,
};

// Register numbers fill an 8-bit field of the instruction word.
constexpr int32_t kMaxRegisterNumber = 255;
// The decimal conversion works on a 128-place digit array.
constexpr size_t kMaxDecimalDigits = 128;

// Register number 0-255, or -1 when the operand names no general register (no
// keyword, a negative number, or one that does not fit the field). A number part
// that is not an integer throws EConvertError.
int32_t ParseRegister(std::string_view operand);

// 0-9, or -1.
int32_t ParseSpecialRegister(std::string_view operand);

// Decimal digits to a 128-bit value (low 128 bits). 0, or -2 a non-digit, -4 empty
// text, -5 no output, -7 more than kMaxDecimalDigits digits; on failure the output
// is zero.
int32_t DecToInt128(std::string_view digits, uint32_t* out);

// Hexadecimal digits (after the "0H" prefix) to a 128-bit value; characters that
// are no hexadecimal digit count as 0, only the rightmost 32 digits count. 0, or -5
// when no output is given.
int32_t HexToInt128(std::string_view digits, uint32_t* out);

// Records a reference of the kind the keyword names to the label `name`, made by
// the instruction at byte address lineAddr. 0, or -1 for no list or an unknown keyword.
int32_t AddLabelRef(std::string_view keyword, std::string_view name, int32_t lineAddr,
                    TCList<TLineSym>* list);

// Records a RefKindLabel reference. 0, or -1 for no list.
int32_t AddFuncLabelRef(std::string_view name, int32_t lineAddr, TCList<TLineSym>* list);
