#include "machine/reg_bits.h"

#include <gtest/gtest.h>

#include <string>

#include "machine/digit_strings.h"

namespace {

constexpr Value128 kAllOnes = ~static_cast<Value128>(0);

std::string Blanks(size_t n) { return std::string(n, ' '); }

TEST(RegBits, ValueRoundTripAndLayout) {
  const Value128 v = MakeValue128(0x8000000000000001ull, 0x0123456789ABCDEFull);
  const RegBits bits = RegBits::FromValue(v);
  EXPECT_EQ(bits.Value(), v);
  EXPECT_EQ(bits[0], 1);    // bit 127
  EXPECT_EQ(bits[63], 1);   // bit 64
  EXPECT_EQ(bits[127], 1);  // bit 0
  EXPECT_EQ(bits.Data()[128], 0);
  EXPECT_EQ(bits[128], 0);
  EXPECT_EQ(bits[-1], 0);
  EXPECT_EQ(BitsToHexText(bits), "80000000000000010123456789ABCDEF");
  EXPECT_EQ(BitsToHexText(RegBits::FromValue(1)), std::string(31, '0') + "1");
  EXPECT_EQ(BitsToHexText(RegBits::FromValue(kAllOnes)), std::string(32, 'F'));

  // The bytes agree with the digit-string path, bit for bit.
  Value128 x = 1;
  for (int i = 0; i < 300; ++i) {
    x = x * 6364136223846793005ull + 1442695040888963407ull;
    const RegBits r = RegBits::FromValue(x);
    ASSERT_EQ(r.Value(), x);
    ASSERT_EQ(BitsToBinChars(r), *PadBinStr128(Value128ToBinStr(x)));
  }
}

TEST(RegBits, SixtyFourBitHalvesAndBytes) {
  uint8_t half[64];
  ASSERT_TRUE(UInt64ToBits(18446744073709551615ull, half));
  for (uint8_t b : half) EXPECT_EQ(b, 1);
  uint64_t back = 0;
  ASSERT_TRUE(BitsToUInt64(half, back));
  EXPECT_EQ(back, 18446744073709551615ull);
  ASSERT_TRUE(UInt64ToBits(9223372036854775808ull, half));
  EXPECT_EQ(half[0], 1);
  EXPECT_EQ(half[1] + half[63], 0);

  const std::string ones(64, '1');
  ASSERT_TRUE(BitsToUInt64(reinterpret_cast<const uint8_t*>(ones.data()), back));
  EXPECT_EQ(back, 18446744073709551615ull);
  std::string mixed(64, '\x02');
  mixed[63] = 1;
  ASSERT_TRUE(BitsToUInt64(reinterpret_cast<const uint8_t*>(mixed.data()), back));
  EXPECT_EQ(back, 1u);

  const RegBits bits = RegBits::FromValue(MakeValue128(7, 9));
  ASSERT_TRUE(BitsToUInt64(bits.Data() + 64, back));
  EXPECT_EQ(back, 9u);

  uint8_t eight[8];
  ASSERT_TRUE(ByteToBits(128, eight));
  for (int k = 0; k < 7; ++k) EXPECT_EQ(eight[k], 0);
  EXPECT_EQ(eight[7], 1);
  char hex[2];
  const uint8_t byte[8] = {1, 0, 1, 0, 0, 1, 0, 1};
  ASSERT_TRUE(BitsToHexByte(byte, hex));
  EXPECT_EQ(std::string(hex, 2), "A5");
  EXPECT_FALSE(BitsToUInt64(nullptr, back));
  EXPECT_FALSE(UInt64ToBits(1, nullptr));
}

TEST(RegBits, BinaryTextIn) {
  RegBits bits;
  ASSERT_TRUE(BinTextToBits("101", bits));
  EXPECT_EQ(bits.Value(), 5u);
  ASSERT_TRUE(BinTextToBits(" 1", bits));
  EXPECT_EQ(bits.Value(), 1u);
  // Only the first 128 characters count: 127 zeros, a one, then ignored ones.
  ASSERT_TRUE(BinTextToBits(std::string(127, '0') + "111", bits));
  EXPECT_EQ(bits.Value(), 1u);

  bits = RegBits::FromValue(42);
  EXPECT_FALSE(BinTextToBits("", bits));
  EXPECT_FALSE(BinTextToBits("1-", bits));
  EXPECT_FALSE(BinTextToBits("12", bits));  // would not be a bit
  EXPECT_EQ(bits.Value(), 42u);
}

TEST(RegBits, BinaryTextOut) {
  EXPECT_EQ(Int64ToBinText(5), Blanks(125) + "101");
  EXPECT_EQ(Int64ToBinText(0), Blanks(128));
  EXPECT_EQ(Int64ToBinText(-1), std::string(128, '1'));
  EXPECT_EQ(Int64ToBinText(-2), std::string(127, '1') + "0");

  EXPECT_EQ(BitsToBinChars(RegBits::FromValue(6)), std::string(125, '0') + "110");
  EXPECT_EQ(TrimBinChars(std::string(128, '0')), Blanks(127) + "0");
  EXPECT_EQ(TrimBinChars(std::string(125, '0') + "101"), Blanks(125) + "101");
  EXPECT_EQ(TrimBinChars(std::string(127, '0') + "x"), Blanks(127) + "0");
  EXPECT_EQ(TrimBinChars("1"), "1" + std::string(127, '0'));
}

TEST(RegBits, DecimalText) {
  EXPECT_EQ(BitsToDecText(RegBits()), Blanks(128));
  EXPECT_EQ(BitsToDecText(RegBits::FromValue(1)), Blanks(127) + "1");
  EXPECT_EQ(BitsToDecText(RegBits::FromValue(kAllOnes)),
            Blanks(89) + "340282366920938463463374607431768211455");
  std::string out = "kept";
  EXPECT_TRUE(BinTextToDecText("101", out));
  EXPECT_EQ(out, Blanks(127) + "5");
  out = "kept";
  EXPECT_FALSE(BinTextToDecText("-", out));
  EXPECT_EQ(out, "kept");
}

TEST(RegBits, RightAlignKeepsTheLeft) {
  std::string out(129, 'x');
  ASSERT_TRUE(RightAlign128("ab", out));
  EXPECT_EQ(out.substr(125), "xabx");
  std::string shortOut;
  ASSERT_TRUE(RightAlign128("7", shortOut));
  EXPECT_EQ(shortOut, Blanks(127) + "7");
  EXPECT_FALSE(RightAlign128(std::string(129, '1'), shortOut));
  EXPECT_EQ(shortOut, Blanks(127) + "7");
}

}  // namespace
