#include "simulator/model/calculator_model.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Zeros(size_t n) { return std::string(n, '0'); }

TEST(BigCalc, DefaultAddition) {
  TBigCalc calc;
  calc.BtnAddClick();
  EXPECT_EQ(calc.EditBin1, "111010110111100110100010101");
  EXPECT_EQ(calc.EditBin2, "1101111110110011100011010010");
  EXPECT_EQ(calc.EditBinResult, Zeros(99) + "10101010101110000010111100111");
  EXPECT_EQ(calc.EditResult, "358024679");
  EXPECT_FALSE(calc.Overflow);

  // Only the digits 0 and 1 of the decimal text are swapped.
  calc.BtnNotCodeClick();
  EXPECT_EQ(calc.EditBinResult, "358124679");
}

TEST(BigCalc, OverflowComesAndGoes) {
  TBigCalc calc;
  calc.Edit1 = "340282366920938463463374607431768211455";
  calc.Edit2 = "1";
  calc.BtnAddClick();
  EXPECT_EQ(calc.EditBinResult, Zeros(128));
  EXPECT_EQ(calc.EditResult, "0");
  EXPECT_TRUE(calc.Overflow);
  calc.Edit1 = "0";
  calc.BtnAddClick();
  EXPECT_EQ(calc.EditBin1, "0");
  EXPECT_EQ(calc.EditResult, "1");
  EXPECT_FALSE(calc.Overflow);
}

TEST(BigCalc, RefusedAddendIsNotAddedAsZero) {
  TBigCalc calc;
  calc.Edit1 = "12a";
  calc.BtnAddClick();
  EXPECT_EQ(calc.EditBin1, "");
  EXPECT_EQ(calc.EditBin2, "1101111110110011100011010010");
  EXPECT_EQ(calc.EditBinResult, "");
  EXPECT_EQ(calc.EditResult, "");
  calc.Edit1 = "340282366920938463463374607431768211456";  // 2^128
  calc.BtnAddClick();
  EXPECT_EQ(calc.EditResult, "");
}

TEST(BigCalc, SignAndComplements) {
  TBigCalc calc;
  calc.Edit1 = "-42";
  calc.BtnAbsClick();
  EXPECT_EQ(calc.EditResult, "42");
  calc.Edit1 = "--42";
  calc.BtnAbsClick();
  EXPECT_EQ(calc.EditResult, "-42");

  calc.EditBinResult = "-";
  calc.BtnNotClick();
  EXPECT_EQ(calc.EditResult, "-");

  calc.EditResult = "1010";
  calc.BtnNotCodeClick();
  EXPECT_EQ(calc.EditBinResult, "0101");
  calc.BtnMendCodeClick();
  EXPECT_EQ(calc.EditBinResult, Zeros(124) + "0110");

  calc.EditResult = std::string(129, '1');
  calc.BtnNotCodeClick();
  EXPECT_EQ(calc.EditBinResult, "");
  calc.EditBinResult = "x";
  calc.BtnMendCodeClick();
  EXPECT_EQ(calc.EditBinResult, "");
}

}  // namespace
