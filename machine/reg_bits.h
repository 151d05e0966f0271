#pragma once
// RegBits: a 128-bit register value as one byte a bit, the form in which the views,
// editors and the test dialog show and take register contents. The core keeps its
// registers as Value128 and converts only at those interfaces.
//
// The conversions keep no state: every call works on its arguments and returns its
// own result, so the UI thread and the core thread may call them at the same time.

#include <cstdint>
#include <string>
#include <string_view>

#include "machine/value128.h"

class RegBits {
 public:
  static constexpr int kWidth = 128;

  constexpr RegBits() = default;
  // Cheap both ways: no allocation, one pass over the 128 bit-bytes.
  static RegBits FromValue(Value128 value);
  Value128 Value() const;

  // Bit-byte k holds bit (127 - k) of the value: index 0 is the most significant
  // bit. Indices outside 0..127 read as 0 and are ignored when set.
  uint8_t operator[](int k) const { return k >= 0 && k < kWidth ? bytes_[k] : 0; }
  void Set(int k, bool one) {
    if (k >= 0 && k < kWidth) bytes_[k] = one ? 1 : 0;
  }
  void Clear();

  // The 129 bytes: 128 bit-bytes, each 0 or 1, then a terminating 0. H is
  // Data() .. Data() + 63, L is Data() + 64 .. Data() + 127.
  const uint8_t* Data() const { return bytes_; }

  bool operator==(const RegBits&) const = default;

 private:
  uint8_t bytes_[kWidth + 1] = {};
};

// The 64 bytes at bits (most significant first) as an unsigned number; a byte counts
// as one when it is 1 or the character '1'. False for a null pointer.
bool BitsToUInt64(const uint8_t* bits, uint64_t& out);

// Writes the 64 bits of value to out[0..63], most significant first, as 0 or 1.
// False for a null pointer.
bool UInt64ToBits(uint64_t value, uint8_t* out);

// Writes the 8 bits of value to out[0..7], least significant first. False for null.
bool ByteToBits(uint8_t value, uint8_t* out);

// 128 characters: the binary digits of value right-aligned over blanks, no leading
// zeros; 0 gives 128 blanks. A negative value gives its 128-bit two's complement
// (128 digits), the pattern the register holding it would show.
std::string Int64ToBinText(int64_t value);

// Reads '0', '1' and blank characters (a blank counts as 0), right-aligned: the last
// character is bit 0. Only the first 128 characters are read. False, with out left
// as it was, for an empty text or any other character.
bool BinTextToBits(std::string_view text, RegBits& out);

// 128 characters '0'/'1', most significant first.
std::string BitsToBinChars(const RegBits& bits);

// 128 binary digit characters with the leading '0's blanked; position 127 always
// holds a digit ('1' stays, anything else becomes '0'). Characters missing from a
// shorter input count as '0'; characters beyond 128 are ignored.
std::string TrimBinChars(std::string_view chars);

// 128 characters: the value in decimal, right-aligned over blanks; 0 gives 128 blanks.
std::string BitsToDecText(const RegBits& bits);

// The same from binary digit text read as BinTextToBits reads it; false (out left as
// it was) where that refuses.
bool BinTextToDecText(std::string_view text, std::string& out);

// Copies source so that its last character lands at out[127]; out is first extended
// with blanks to 128 characters when shorter, and its other characters stay. False
// (nothing changed) for a source longer than 128 characters.
bool RightAlign128(std::string_view source, std::string& out);

// 32 upper-case hexadecimal digits, most significant first.
std::string BitsToHexText(const RegBits& bits);

// The 8 bit-bytes at bits (most significant first; a byte counts when it is 1) as two
// upper-case hexadecimal digits in out[0], out[1], no terminator. False for null.
bool BitsToHexByte(const uint8_t* bits, char* out);
