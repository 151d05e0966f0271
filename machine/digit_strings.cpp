#include "machine/digit_strings.h"

#include <algorithm>
#include <cstring>

#include "machine/reg_bits.h"

namespace {

constexpr size_t kWidth = 128;

bool AllOf(std::string_view s, const char* allowed) {
  return s.find_first_not_of(allowed) == std::string_view::npos;
}

bool IsBinaryText(std::string_view s) { return s.size() <= kWidth && AllOf(s, "01"); }

bool BinaryToValue128(std::string_view binary, Value128& out) {
  if (!IsBinaryText(binary)) return false;
  Value128 value = 0;
  for (char c : binary) value = (value << 1) | static_cast<unsigned>(c - '0');
  out = value;
  return true;
}

std::string WithoutLeadingZeros(std::string_view digits) {
  const size_t first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string("0") : std::string(digits.substr(first));
}

// Doubling per significant bit, the decimal digits never leave their fixed width.
Dec128 Value128ToDec128(Value128 value) {
  Dec128 x = Dec128Zero();
  Dec128 one = Dec128Zero();
  one.Digits[kWidth - 1] = '1';
  for (int bit = 127; bit >= 0; --bit) {
    x = Dec128MulInt(x, 2);
    if ((value >> bit) & 1u) x = Dec128Add(x, one);
  }
  return x;
}

}  // namespace

int IsAllZeroDigits(std::string_view s, int n) {
  if (n <= 0) return 1;
  return AllOf(s.substr(0, static_cast<size_t>(n)), "0") ? 1 : 0;
}

bool DecStrToValue128(std::string_view decimal, Value128& out) {
  if (decimal.size() >= kWidth || !AllOf(decimal, "0123456789")) return false;
  constexpr Value128 kMax = ~static_cast<Value128>(0);
  Value128 value = 0;
  for (char c : decimal) {
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (kMax - digit) / 10) return false;
    value = value * 10 + digit;
  }
  out = value;
  return true;
}

std::optional<std::string> DecStrToBinStr(std::string_view decimal) {
  Value128 value = 0;
  if (!DecStrToValue128(decimal, value)) return std::nullopt;
  return Value128ToBinStr(value);
}

std::optional<std::string> PadBinStr128(std::string_view binary) {
  if (!IsBinaryText(binary)) return std::nullopt;
  std::string out(kWidth - binary.size(), '0');
  out.append(binary);
  return out;
}

int BinStrAdd128(std::string& out, std::string_view a, std::string_view b, uint8_t& carryOut,
                 uint8_t carryIn) {
  const std::optional<std::string> x = PadBinStr128(a);
  if (!x) return -2;
  const std::optional<std::string> y = PadBinStr128(b);
  if (!y) return -3;
  std::string sum(kWidth, '0');
  unsigned carry = carryIn ? 1u : 0u;
  for (size_t i = kWidth; i-- > 0;) {
    const unsigned total = static_cast<unsigned>((*x)[i] - '0') + static_cast<unsigned>((*y)[i] - '0') + carry;
    sum[i] = static_cast<char>('0' + (total & 1u));
    carry = total >> 1;
  }
  out = std::move(sum);
  carryOut = static_cast<uint8_t>(carry);
  return 0;
}

std::optional<std::string> BinStrToDecStr(std::string_view binary, int n) {
  if (n <= 0) return std::nullopt;
  Value128 value = 0;
  if (!BinaryToValue128(binary.substr(0, static_cast<size_t>(n)), value)) return std::nullopt;
  return Value128ToDecStr(value);
}

std::optional<std::string> DecStrAbs(std::string_view decimal) {
  if (decimal.size() > kWidth) return std::nullopt;
  if (!decimal.empty() && decimal.front() == '-') decimal.remove_prefix(1);
  return std::string(decimal);
}

std::optional<std::string> BinStrNot(std::string_view binary) {
  if (binary.empty() || binary.size() > kWidth) return std::nullopt;
  std::string out(binary);
  for (char& c : out) {
    if (c == '0') {
      c = '1';
    } else if (c == '1') {
      c = '0';
    }
  }
  return out;
}

std::optional<std::string> BinStrNot128(std::string_view binary) { return BinStrNot(binary); }

std::optional<std::string> BinStrNeg128(std::string_view binary) {
  const std::optional<std::string> inverted = BinStrNot128(binary);
  if (!inverted) return std::nullopt;
  std::string out;
  uint8_t carry = 0;
  if (BinStrAdd128(out, *inverted, "1", carry, 0) != 0) return std::nullopt;
  return out;
}

std::string BitsToBinStr128(const RegBits& bits) { return BitsToBinChars(bits); }

bool BinStrToBits128(std::string_view binary, RegBits& out) {
  if (!IsBinaryText(binary)) return false;
  const int first = RegBits::kWidth - static_cast<int>(binary.size());
  for (size_t i = 0; i < binary.size(); ++i) out.Set(first + static_cast<int>(i), binary[i] == '1');
  return true;
}

std::string Value128ToBinStr(Value128 value) {
  char digits[kWidth];
  for (size_t i = kWidth; i-- > 0;) {
    digits[i] = static_cast<char>('0' + static_cast<unsigned>(value & 1u));
    value >>= 1;
  }
  return WithoutLeadingZeros({digits, kWidth});
}

std::string Value128ToDecStr(Value128 value) {
  return WithoutLeadingZeros(Value128ToDec128(value).View());
}

std::optional<Dec128> Dec128Assign(std::string_view digits) {
  if (digits.size() > kWidth || !AllOf(digits, "0123456789")) return std::nullopt;
  Dec128 out = Dec128Zero();
  std::memcpy(out.Digits + kWidth - digits.size(), digits.data(), digits.size());
  return out;
}

Dec128 Dec128Zero() {
  Dec128 out;
  std::memset(out.Digits, '0', kWidth);
  out.Digits[kWidth] = '\0';
  return out;
}

Dec128 Dec128Add(const Dec128& a, const Dec128& b) {
  Dec128 out = Dec128Zero();
  int carry = 0;
  for (size_t i = kWidth; i-- > 0;) {
    const int t = (a.Digits[i] - '0') + (b.Digits[i] - '0') + carry;
    out.Digits[i] = static_cast<char>('0' + t % 10);
    carry = t / 10;
  }
  return out;
}

Dec128 Dec128MulInt(const Dec128& a, int64_t n) {
  Dec128 out = Dec128Zero();
  if (n <= 0) return out;
  // Schoolbook multiplication by the factor's digits, keeping the low 128 digits.
  int sums[kWidth] = {};
  for (size_t shift = 0; n > 0; ++shift, n /= 10) {
    const int factor = static_cast<int>(n % 10);
    for (size_t i = kWidth; i-- > shift;) sums[i - shift] += (a.Digits[i] - '0') * factor;
  }
  int carry = 0;
  for (size_t i = kWidth; i-- > 0;) {
    const int t = sums[i] + carry;
    out.Digits[i] = static_cast<char>('0' + t % 10);
    carry = t / 10;
  }
  return out;
}
