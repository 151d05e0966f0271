#include "simulator/model/calculator_model.h"

#include <cstdint>
#include <optional>

#include "machine/digit_strings.h"

namespace {

std::string OrEmpty(const std::optional<std::string>& text) { return text.value_or(std::string()); }

}  // namespace

void TBigCalc::BtnAddClick() {
  const std::optional<std::string> bin1 = DecStrToBinStr(Edit1);
  const std::optional<std::string> bin2 = DecStrToBinStr(Edit2);
  EditBin1 = OrEmpty(bin1);
  EditBin2 = OrEmpty(bin2);
  std::string sum;
  uint8_t carry = 0;
  if (!bin1 || !bin2 || BinStrAdd128(sum, EditBin1, EditBin2, carry, 0) != 0) {
    EditBinResult.clear();
    EditResult.clear();
    Overflow = false;
    return;
  }
  EditBinResult = sum;
  EditResult = OrEmpty(BinStrToDecStr(EditBinResult, static_cast<int>(EditBinResult.size())));
  Overflow = carry == 1;
}

void TBigCalc::BtnAbsClick() { EditResult = OrEmpty(DecStrAbs(Edit1)); }

void TBigCalc::BtnNotClick() { EditResult = OrEmpty(BinStrNot(EditBinResult)); }

void TBigCalc::BtnNotCodeClick() { EditBinResult = OrEmpty(BinStrNot128(EditResult)); }

void TBigCalc::BtnMendCodeClick() { EditBinResult = OrEmpty(BinStrNeg128(EditResult)); }
