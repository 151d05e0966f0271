#include "simulator/model/number_text.h"

#include <cstdio>

#include "machine/setting_file.h"

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseInt32Text(const std::string& text, int32_t& value) {
  size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  bool hex = false;
  if (pos < text.size() && text[pos] == '$') {
    hex = true;
    ++pos;
  } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    hex = true;
    pos += 2;
  }
  if (pos >= text.size()) return false;
  uint64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    int digit = hex ? HexDigitValue(text[pos]) : (text[pos] >= '0' && text[pos] <= '9' ? text[pos] - '0' : -1);
    if (digit < 0) return false;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (magnitude > UINT32_MAX) return false;
  }
  // Hexadecimal covers the whole 32-bit pattern ($FFFFFFFF is -1); decimal the signed range.
  if (hex) {
    uint32_t bits = static_cast<uint32_t>(magnitude);
    value = static_cast<int32_t>(negative ? 0u - bits : bits);
    return true;
  }
  int64_t signedValue = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  if (signedValue > INT32_MAX || signedValue < INT32_MIN) return false;
  value = static_cast<int32_t>(signedValue);
  return true;
}

bool ParseFloatText(const std::string& text, double& value) { return ParseSettingNumber(text, value); }

std::string IntegerErrorText(const std::string& text) { return "'" + text + "' is not a valid integer value"; }

std::string FloatErrorText(const std::string& text) {
  return "'" + text + "' is not a valid floating point value";
}

std::string PortHexText(int32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<uint32_t>(value));
  return buffer;
}

bool IsDecimalDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}
