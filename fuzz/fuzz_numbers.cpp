// The digit-string routines and the RegBits conversions on arbitrary texts.

#include <string_view>

#include "machine/digit_strings.h"
#include "machine/reg_bits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const size_t half = size / 2;
  DecStrToBinStr(text);
  PadBinStr128(text);
  DecStrAbs(text);
  BinStrNot(text);
  BinStrNot128(text);
  BinStrNeg128(text);
  BinStrToDecStr(text, static_cast<int>(size % 300) - 10);
  Dec128Assign(text);
  std::string sum;
  uint8_t carry = 0;
  BinStrAdd128(sum, text.substr(0, half), text.substr(half), carry, 0);
  Value128 value = 0;
  if (DecStrToValue128(text, value)) {
    Value128ToBinStr(value);
    Value128ToDecStr(value);
  }
  RegBits bits;
  if (BinTextToBits(text, bits)) {
    BitsToDecText(bits);
    BitsToHexText(bits);
    BitsToBinChars(bits);
  }
  if (BinStrToBits128(text, bits)) BitsToBinStr128(bits);
  std::string out;
  BinTextToDecText(text, out);
  RightAlign128(text, out);
  TrimBinChars(text);
  return 0;
}
