#include "toolchain/operands.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "toolchain/convert_error.h"
#include "isa/special_registers.h"
#include "toolchain/gbk_texts.h"

namespace {

using Words = std::array<uint32_t, 4>;

Words Dec(const std::string& text, int32_t expectedResult = 0) {
  Words out{1, 1, 1, 1};
  EXPECT_EQ(DecToInt128(text, out.data()), expectedResult) << text;
  return out;
}

Words Hex(const std::string& text) {
  Words out{1, 1, 1, 1};
  EXPECT_EQ(HexToInt128(text, out.data()), 0);
  return out;
}

TEST(Operands, Registers) {
  EXPECT_EQ(ParseRegister("R12"), 12);
  EXPECT_EQ(ParseRegister(std::string(gbk::kRegisterKeyword) + "12"), 12);
  EXPECT_EQ(ParseRegister("R0"), 0);
  EXPECT_EQ(ParseRegister("R255"), 255);
  EXPECT_EQ(ParseRegister("r5"), -1);
  EXPECT_EQ(ParseRegister("PSW"), -1);
  // Numbers that do not fit the 8-bit field are not registers.
  EXPECT_EQ(ParseRegister("R256"), -1);
  EXPECT_EQ(ParseRegister("R-1"), -1);
  EXPECT_EQ(ParseSpecialRegister("DS"), 2);
  EXPECT_EQ(ParseSpecialRegister(isa::kSpecialRegisterNames[isa::PSW].Chinese), 6);
  EXPECT_EQ(ParseSpecialRegister("ds"), -1);
}

TEST(Operands, RegisterNumberThatIsNoIntegerThrows) {
  EXPECT_THROW(ParseRegister("R"), EConvertError);
  EXPECT_THROW(ParseRegister("Rx"), EConvertError);
  EXPECT_THROW(ParseRegister("R1x"), EConvertError);
  EXPECT_THROW(ParseRegister("R99999999999"), EConvertError);
  EXPECT_THROW(ParseRegister(isa::kSpecialRegisterNames[isa::BS].Chinese), EConvertError);
  try {
    ParseRegister("Rx");
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "'x' is not a valid integer value");
  }
}

TEST(Operands, DecimalLiterals) {
  EXPECT_EQ(Dec("10"), (Words{10, 0, 0, 0}));
  EXPECT_EQ(Dec("4294967296"), (Words{0, 1, 0, 0}));
  const uint32_t ones = 0xFFFFFFFFu;
  EXPECT_EQ(Dec("340282366920938463463374607431768211455"), (Words{ones, ones, ones, ones}));
  EXPECT_EQ(Dec("340282366920938463463374607431768211456"), (Words{0, 0, 0, 0}));
  Dec(std::string(128, '9'));  // the longest literal is accepted
}

TEST(Operands, TextsThatAreNoDecimalLiteralLeaveZero) {
  EXPECT_EQ(Dec("-5", -2), (Words{0, 0, 0, 0}));
  EXPECT_EQ(Dec("1_000", -2), (Words{0, 0, 0, 0}));
  EXPECT_EQ(Dec("", -4), (Words{0, 0, 0, 0}));
  EXPECT_EQ(Dec(std::string(129, '1'), -7), (Words{0, 0, 0, 0}));
  EXPECT_EQ(DecToInt128("1", nullptr), -5);
}

TEST(Operands, HexadecimalLiterals) {
  EXPECT_EQ(Hex("1F"), (Words{0x1F, 0, 0, 0}));
  EXPECT_EQ(Hex("123456789"), (Words{0x23456789, 1, 0, 0}));
  EXPECT_EQ(Hex("ff"), (Words{0xFF, 0, 0, 0}));
  EXPECT_EQ(Hex("G1"), (Words{1, 0, 0, 0}));
  EXPECT_EQ(Hex(""), (Words{0, 0, 0, 0}));
  // Only the rightmost 32 digits count.
  EXPECT_EQ(Hex("7" + std::string(31, '0') + "5"), (Words{5, 0, 0, 0}));
}

TEST(Operands, LabelReferences) {
  TCList<TLineSym> refs;
  EXPECT_EQ(AddLabelRef("OFFSET", "a", 8, &refs), 0);
  EXPECT_EQ(AddLabelRef(gbk::kKeywordSegment, "b", 12, &refs), 0);
  EXPECT_EQ(AddLabelRef("LABEL", "c", 16, &refs), 0);
  EXPECT_EQ(AddLabelRef("=", "d", 20, &refs), 0);
  EXPECT_EQ(AddFuncLabelRef("e", 24, &refs), 0);
  EXPECT_EQ(AddLabelRef("offset", "x", 0, &refs), -1);
  EXPECT_EQ(AddLabelRef("OFFSET", "x", 0, nullptr), -1);
  ASSERT_EQ(refs.Count, 5);
  const int32_t kinds[] = {RefKindOffset, RefKindSegment, RefKindLabel, RefKindData, RefKindLabel};
  for (int32_t i = 0; i < 5; ++i) {
    const TLineSym& ref = refs.Item(i)->Value;
    EXPECT_EQ(ref.SymName, std::string(1, static_cast<char>('a' + i)));
    EXPECT_EQ(ref.CodeCount, kinds[i]);
    EXPECT_EQ(ref.LineNum, 8 + 4 * i);
    EXPECT_EQ(ref.Offset[0], static_cast<uint32_t>(8 + 4 * i));
    EXPECT_EQ(ref.Offset[1] | ref.Offset[2] | ref.Offset[3], 0u);
    EXPECT_EQ(ref.Segment[0] | ref.Segment[1] | ref.Segment[2] | ref.Segment[3], 0u);
  }
}

}  // namespace
