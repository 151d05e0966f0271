// The digit-string routines and the RegBits conversions on arbitrary texts, checked
// against plain 128-bit arithmetic: what a routine accepts it computes exactly, what
// it refuses is really outside its domain, and every conversion reads back.

#include <string_view>

#include "fuzz_check.h"
#include "fuzz_decimal.h"
#include "machine/digit_strings.h"
#include "machine/reg_bits.h"

namespace {

bool OnlyDigits(std::string_view text, char highest) {
  for (char c : text) {
    if (c < '0' || c > highest) return false;
  }
  return true;
}

Value128 BinaryValue(std::string_view text) {
  Value128 value = 0;
  for (char c : text) value = value << 1 | static_cast<unsigned>(c - '0');
  return value;
}

std::string Padded128(Value128 value) {
  std::string digits(128, '0');
  for (int i = 127; i >= 0; --i, value >>= 1) digits[static_cast<size_t>(i)] = static_cast<char>('0' + (value & 1));
  return digits;
}

std::string Hex32(Value128 value) {
  std::string digits(32, '0');
  for (int i = 31; i >= 0; --i, value >>= 4) digits[static_cast<size_t>(i)] = "0123456789ABCDEF"[value & 0xF];
  return digits;
}

void CheckDecimal(std::string_view text) {
  Value128 expected = 0;
  const bool inDomain = DecimalValue128(text, expected);
  Value128 value = 0;
  Check(DecStrToValue128(text, value) == inDomain, "a decimal text is read exactly when below 2^128");
  const std::optional<std::string> binary = DecStrToBinStr(text);
  Check(binary.has_value() == inDomain, "a decimal text converts to binary exactly when below 2^128");
  if (!inDomain) return;
  Check(value == expected && *binary == Value128ToBinStr(value), "a decimal text has its value");
  Check(BinaryValue(*binary) == value, "the binary digits of a decimal text have its value");
  Value128 back = 0;
  Check(DecStrToValue128(Value128ToDecStr(value), back) && back == value, "a value prints and reads back");
  const std::optional<Dec128> fixed = Dec128Assign(text);
  Check(fixed.has_value() && fixed->View().substr(128 - text.size()) == text, "Dec128 holds the digits right-aligned");
}

void CheckBinary(std::string_view text, std::string_view other) {
  const bool inDomain = text.size() <= 128 && OnlyDigits(text, '1');
  const std::optional<std::string> padded = PadBinStr128(text);
  Check(padded.has_value() == inDomain, "binary texts up to 128 digits are padded, others refused");
  RegBits bits;
  Check(BinStrToBits128(text, bits) == inDomain, "binary texts up to 128 digits give bits, others are refused");
  if (!inDomain) return;
  const Value128 value = BinaryValue(text);
  Check(*padded == Padded128(value) && bits.Value() == value && BitsToBinStr128(bits) == *padded,
        "a binary text pads and converts to its value");
  Check(BitsToHexText(bits) == Hex32(value), "bits show as their hexadecimal value");
  const std::optional<std::string> negated = BinStrNeg128(text);
  // The complement of the text's own digits, plus one: "101" gives 125 '0' and "011".
  const Value128 digitsMask = text.size() == 128 ? ~Value128{0} : (Value128{1} << text.size()) - 1;
  if (!text.empty()) {
    Check(negated.has_value() && *negated == Padded128((~value & digitsMask) + 1),
          "the two's complement is taken over the text's digits");
  }
  if (!text.empty()) {
    const std::optional<std::string> decimal = BinStrToDecStr(text, static_cast<int>(text.size()));
    Check(decimal.has_value() && *decimal == Value128ToDecStr(value), "binary digits show as their decimal value");
  }
  if (other.size() <= 128 && OnlyDigits(other, '1')) {
    std::string sum;
    uint8_t carry = 9;
    Check(BinStrAdd128(sum, text, other, carry, 1) == 0, "two binary texts add");
    const Value128 b = BinaryValue(other);
    const Value128 total = value + b + 1;
    Check(sum == Padded128(total) && carry == (total <= value ? 1 : 0), "the sum and its carry are exact");
  }
}

// Register texts as the views show them: binary with blanks, read back.
void CheckRegisterText(std::string_view text) {
  RegBits bits;
  if (!BinTextToBits(text, bits)) return;
  const Value128 value = bits.Value();
  Check(BitsToBinChars(bits) == Padded128(value), "bits show as their binary digits");
  RegBits again;
  Check(BinTextToBits(BitsToBinChars(bits), again) && again == bits, "shown bits read back");
  std::string decimal;
  Check(BinTextToDecText(text, decimal) && decimal == BitsToDecText(bits), "a register text shows its decimal value");
  const std::string trimmed = TrimBinChars(BitsToBinChars(bits));
  RegBits fromTrimmed;
  Check(trimmed.size() == 128 && BinTextToBits(trimmed, fromTrimmed) && fromTrimmed == bits,
        "trimmed binary digits read back");
  if (value >> 63 == 0 || value >> 63 == (~Value128{0} >> 63)) {
    const auto small = static_cast<int64_t>(static_cast<uint64_t>(value));
    RegBits signedBits;
    Check(BinTextToBits(Int64ToBinText(small), signedBits) &&
              signedBits.Value() == static_cast<Value128>(static_cast<__int128>(small)),
          "a 64-bit number shows as the register pattern holding it");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const size_t half = size / 2;
  CheckDecimal(text);
  CheckBinary(text.substr(0, half), text.substr(half));
  CheckBinary(text, text);
  CheckRegisterText(text);
  // Refusals and edge texts must not crash either.
  DecStrAbs(text);
  BinStrNot(text);
  BinStrNot128(text);
  BinStrToDecStr(text, static_cast<int>(size % 300) - 10);
  std::string aligned;
  RightAlign128(text, aligned);
  TrimBinChars(text);
  return 0;
}
