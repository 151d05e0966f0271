#include "machine/reg_bits.h"

#include <array>
#include <bit>
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

// Eight bit-bytes at a time: a byte value spreads into the 8 bytes that hold its bits
// (most significant first), and 8 bit-bytes gather back into a byte by one multiply.
// Both rely on every bit-byte being 0 or 1, which RegBits keeps.
static_assert(std::endian::native == std::endian::little);

constexpr std::array<uint64_t, 256> MakeSpreadTable() {
  std::array<uint64_t, 256> table{};
  for (unsigned v = 0; v < 256; ++v) {
    for (unsigned j = 0; j < 8; ++j) table[v] |= static_cast<uint64_t>((v >> (7 - j)) & 1u) << (8 * j);
  }
  return table;
}

constexpr std::array<uint64_t, 256> kSpread = MakeSpreadTable();

}  // namespace

RegBits RegBits::FromValue(Value128 value) {
  RegBits bits;
  for (int g = 15; g >= 0; --g) {
    std::memcpy(bits.bytes_ + 8 * g, &kSpread[static_cast<uint8_t>(value)], 8);
    value >>= 8;
  }
  return bits;
}

Value128 RegBits::Value() const {
  Value128 value = 0;
  for (int g = 0; g < 16; ++g) {
    uint64_t eight = 0;
    std::memcpy(&eight, bytes_ + 8 * g, 8);
    value = (value << 8) | static_cast<uint8_t>((eight * 0x8040201008040201ull) >> 56);
  }
  return value;
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
