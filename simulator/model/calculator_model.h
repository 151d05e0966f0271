#pragma once
// The big-integer calculator's logic: the six boxes of the window as texts and the
// overflow mark. Each button works on these texts only and never on the machine.
// A routine that refuses its input leaves its target box empty.

#include <string>

class TBigCalc {
 public:
  std::string Edit1 = "123456789";
  std::string Edit2 = "234567890";
  std::string EditResult = "-";
  std::string EditBin1 = "-";
  std::string EditBin2 = "-";
  std::string EditBinResult = "-";
  bool Overflow = false;  // the sum carried out of bit 127

  // Both addends in binary, their 128-digit sum and its decimal value. An addend that
  // is no unsigned 128-bit decimal number empties its binary box and both result boxes
  // rather than being added as zero.
  void BtnAddClick();
  void BtnAbsClick();       // first addend without one leading '-'
  void BtnNotClick();       // complement of the binary sum, into the result box
  void BtnNotCodeClick();   // ones' complement of the result box
  void BtnMendCodeClick();  // two's complement of the result box
};
