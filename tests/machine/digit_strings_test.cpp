#include "machine/digit_strings.h"

#include <gtest/gtest.h>

#include <string>

#include "machine/reg_bits.h"

namespace {

const std::string kMax128Dec = "340282366920938463463374607431768211455";

std::string Zeros(size_t n) { return std::string(n, '0'); }

TEST(DigitStrings, DecimalToBinaryAndBack) {
  EXPECT_EQ(DecStrToBinStr("4"), "100");
  EXPECT_EQ(DecStrToBinStr("0"), "0");
  EXPECT_EQ(DecStrToBinStr(""), "0");
  EXPECT_EQ(DecStrToBinStr(kMax128Dec), std::string(128, '1'));
  EXPECT_EQ(BinStrToDecStr(std::string(128, '1'), 128), kMax128Dec);
  EXPECT_EQ(BinStrToDecStr("1010", 4), "10");
  EXPECT_EQ(BinStrToDecStr("1010", 2), "2");
  EXPECT_EQ(BinStrToDecStr("1010", 99), "10");
  EXPECT_EQ(BinStrToDecStr(Zeros(128), 128), "0");
}

TEST(DigitStrings, RefusesWhatDoesNotFitOrIsNoNumber) {
  EXPECT_FALSE(DecStrToBinStr(std::string(128, '1')));
  EXPECT_FALSE(DecStrToBinStr("340282366920938463463374607431768211456"));  // 2^128
  EXPECT_FALSE(DecStrToBinStr("12a"));
  EXPECT_FALSE(DecStrToBinStr("-1"));
  EXPECT_FALSE(DecStrToBinStr(" 1"));
  EXPECT_FALSE(BinStrToDecStr("102", 3));
  EXPECT_FALSE(BinStrToDecStr("1", 0));
  EXPECT_FALSE(BinStrToDecStr(std::string(129, '1'), 129));
  EXPECT_FALSE(PadBinStr128(std::string(129, '0')));
  EXPECT_FALSE(DecStrAbs(std::string(129, '1')));
  EXPECT_FALSE(BinStrNot(""));
  EXPECT_FALSE(BinStrNot(std::string(129, '0')));
  EXPECT_FALSE(BinStrNeg128("12"));
  EXPECT_FALSE(Dec128Assign(std::string(129, '1')));
  EXPECT_FALSE(Dec128Assign("1x"));
}

TEST(DigitStrings, AdderCarriesAndRefusesWithoutWriting) {
  std::string out = "untouched";
  uint8_t carry = 7;
  EXPECT_EQ(BinStrAdd128(out, std::string(128, '1'), "1", carry, 0), 0);
  EXPECT_EQ(out, Zeros(128));
  EXPECT_EQ(carry, 1);
  EXPECT_EQ(BinStrAdd128(out, "1", "1", carry, 1), 0);
  EXPECT_EQ(out, Zeros(126) + "11");
  EXPECT_EQ(carry, 0);

  out = "untouched";
  carry = 7;
  EXPECT_EQ(BinStrAdd128(out, "1", "12", carry, 0), -3);
  EXPECT_EQ(BinStrAdd128(out, std::string(129, '1'), "1", carry, 0), -2);
  EXPECT_EQ(out, "untouched");
  EXPECT_EQ(carry, 7);
}

TEST(DigitStrings, Complements) {
  EXPECT_EQ(BinStrNot("10a"), "01a");
  EXPECT_EQ(BinStrNot128("358024679"), "358124679");
  EXPECT_EQ(BinStrNeg128(Zeros(128)), Zeros(128));
  EXPECT_EQ(BinStrNeg128("101"), Zeros(125) + "011");
  EXPECT_EQ(BinStrNeg128("1010"), Zeros(124) + "0110");
  EXPECT_EQ(DecStrAbs("-12"), "12");
  EXPECT_EQ(DecStrAbs("--12"), "-12");
  EXPECT_EQ(DecStrAbs("+12"), "+12");
}

TEST(DigitStrings, BinaryIntoRegBitsLeavesTheLeftAlone) {
  RegBits bits = RegBits::FromValue(~static_cast<Value128>(0));
  EXPECT_TRUE(BinStrToBits128("00", bits));
  EXPECT_EQ(bits.Value(), ~static_cast<Value128>(3));
  RegBits cleared;
  EXPECT_TRUE(BinStrToBits128("11", cleared));
  EXPECT_EQ(cleared.Value(), 3u);
  EXPECT_EQ(cleared.Data()[128], 0);
  EXPECT_FALSE(BinStrToBits128("21", cleared));
  EXPECT_EQ(cleared.Value(), 3u);
}

TEST(DigitStrings, FixedWidthDecimal) {
  const Dec128 nines = *Dec128Assign(std::string(128, '9'));
  EXPECT_EQ(Dec128Add(nines, *Dec128Assign("1")).View(), Zeros(128));
  EXPECT_EQ(Dec128MulInt(*Dec128Assign("5"), 2).View(), Zeros(126) + "10");
  EXPECT_EQ(Dec128MulInt(*Dec128Assign("5"), 12).View(), Zeros(126) + "60");
  EXPECT_EQ(Dec128MulInt(*Dec128Assign("123456789"), 987654321).View(),
            Zeros(128 - 18) + "121932631112635269");
  EXPECT_EQ(Dec128MulInt(nines, 2).View(), std::string(127, '9') + "8");
  EXPECT_EQ(Dec128Zero().Digits[128], '\0');
}

TEST(DigitStrings, NativeFormsAgreeWithEachOther) {
  Value128 v = 1;
  for (int i = 0; i < 200; ++i) {
    v = v * 6364136223846793005ull + 1442695040888963407ull;
    Value128 back = 0;
    ASSERT_TRUE(DecStrToValue128(Value128ToDecStr(v), back));
    EXPECT_EQ(back, v);
    EXPECT_EQ(BinStrToDecStr(Value128ToBinStr(v), 128), Value128ToDecStr(v));
  }
}

}  // namespace
