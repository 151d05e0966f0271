#include "machine/reg_bits.h"

#include <cstring>

#include "machine/digit_strings.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// 128 characters: digits right-aligned over blanks, none for zero.
std::string RightAlignedOverBlanks(const std::string& digits) {
  std::string out(RegBits::kWidth, ' ');
  if (digits != "0") out.replace(out.size() - digits.size(), digits.size(), digits);
  return out;
}

}  // namespace

RegBits RegBits::FromValue(Value128 value) {
  RegBits bits;
  // Two 64-bit halves keep the shifts in native registers.
  const uint64_t halves[2] = {High64(value), Low64(value)};
  for (int h = 0; h < 2; ++h) {
    uint64_t word = halves[h];
    uint8_t* out = bits.bytes_ + 64 * h;
    for (int i = 63; i >= 0; --i) {
      out[i] = static_cast<uint8_t>(word & 1u);
      word >>= 1;
    }
  }
  return bits;
}

Value128 RegBits::Value() const {
  uint64_t halves[2] = {0, 0};
  for (int h = 0; h < 2; ++h) {
    const uint8_t* in = bytes_ + 64 * h;
    uint64_t word = 0;
    for (int i = 0; i < 64; ++i) word = (word << 1) | in[i];
    halves[h] = word;
  }
  return MakeValue128(halves[0], halves[1]);
}

void RegBits::Clear() { std::memset(bytes_, 0, sizeof bytes_); }

bool BitsToUInt64(const uint8_t* bits, uint64_t& out) {
  if (bits == nullptr) return false;
  uint64_t value = 0;
  for (int i = 0; i < 64; ++i) value = (value << 1) | ((bits[i] == 1 || bits[i] == '1') ? 1u : 0u);
  out = value;
  return true;
}

bool UInt64ToBits(uint64_t value, uint8_t* out) {
  if (out == nullptr) return false;
  for (int i = 63; i >= 0; --i) {
    out[i] = static_cast<uint8_t>(value & 1u);
    value >>= 1;
  }
  return true;
}

bool ByteToBits(uint8_t value, uint8_t* out) {
  if (out == nullptr) return false;
  for (int k = 0; k < 8; ++k) out[k] = static_cast<uint8_t>((value >> k) & 1u);
  return true;
}

std::string Int64ToBinText(int64_t value) {
  // Sign extension gives a negative value its 128-bit two's complement.
  const Value128 pattern = static_cast<Value128>(static_cast<__int128>(value));
  return RightAlignedOverBlanks(Value128ToBinStr(pattern));
}

bool BinTextToBits(std::string_view text, RegBits& out) {
  text = text.substr(0, RegBits::kWidth);
  if (text.empty()) return false;
  RegBits bits;
  const int first = RegBits::kWidth - static_cast<int>(text.size());
  for (size_t j = 0; j < text.size(); ++j) {
    const char c = text[j];
    if (c != '0' && c != '1' && c != ' ') return false;
    bits.Set(first + static_cast<int>(j), c == '1');
  }
  out = bits;
  return true;
}

std::string BitsToBinChars(const RegBits& bits) {
  std::string out(RegBits::kWidth, '0');
  for (int i = 0; i < RegBits::kWidth; ++i) out[i] = bits[i] ? '1' : '0';
  return out;
}

std::string TrimBinChars(std::string_view chars) {
  std::string out(RegBits::kWidth, ' ');
  bool copying = false;
  for (int i = 0; i < RegBits::kWidth; ++i) {
    const char c = static_cast<size_t>(i) < chars.size() ? chars[i] : '0';
    if (copying || i == RegBits::kWidth - 1 || c != '0') {
      out[i] = c;
      copying = true;
    }
  }
  if (out.back() != '1') out.back() = '0';
  return out;
}

std::string BitsToDecText(const RegBits& bits) {
  return RightAlignedOverBlanks(Value128ToDecStr(bits.Value()));
}

bool BinTextToDecText(std::string_view text, std::string& out) {
  RegBits bits;
  if (!BinTextToBits(text, bits)) return false;
  out = BitsToDecText(bits);
  return true;
}

bool RightAlign128(std::string_view source, std::string& out) {
  if (source.size() > static_cast<size_t>(RegBits::kWidth)) return false;
  if (out.size() < static_cast<size_t>(RegBits::kWidth)) out.resize(RegBits::kWidth, ' ');
  out.replace(RegBits::kWidth - source.size(), source.size(), source);
  return true;
}

std::string BitsToHexText(const RegBits& bits) {
  std::string out(32, '0');
  for (int g = 0; g < 16; ++g) BitsToHexByte(bits.Data() + 8 * g, &out[2 * g]);
  return out;
}

bool BitsToHexByte(const uint8_t* bits, char* out) {
  if (bits == nullptr || out == nullptr) return false;
  unsigned byte = 0;
  for (int k = 0; k < 8; ++k) byte = (byte << 1) | (bits[k] == 1 ? 1u : 0u);
  out[0] = kHexDigits[byte >> 4];
  out[1] = kHexDigits[byte & 0xFu];
  return true;
}
