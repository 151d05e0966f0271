#include "machine/port_settings_file.h"

#include "base/file_read.h"
#include "base/replacing_file.h"
#include "machine/setting_file.h"

namespace {

// Table index held by each line of the file; line 16 repeats the parallel write port
// and, being read later, wins over line 10.
constexpr int kLineEntries[25] = {2,  1,  0,  3,  4,  7,  6,  5,  8,  9,  12, 11, 10,
                                  13, 14, 9,  15, 16, 17, 18, 19, 20, 21, 22, 23};

bool IsScanBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// One "%ld" item read as a 32-bit number: blanks, an optional sign, digits.
bool ScanInt32(const std::string& text, size_t& pos, int32_t& value) {
  while (pos < text.size() && IsScanBlank(static_cast<unsigned char>(text[pos]))) ++pos;
  size_t cursor = pos;
  bool negative = false;
  if (cursor < text.size() && (text[cursor] == '-' || text[cursor] == '+')) {
    negative = text[cursor] == '-';
    ++cursor;
  }
  int64_t magnitude = 0;
  size_t digits = 0;
  while (cursor < text.size() && text[cursor] >= '0' && text[cursor] <= '9') {
    magnitude = magnitude * 10 + (text[cursor] - '0');
    if (magnitude > int64_t{INT32_MAX} + 1) return false;
    ++cursor;
    ++digits;
  }
  if (digits == 0) return false;
  int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX || signedValue < INT32_MIN) return false;
  value = static_cast<int32_t>(signedValue);
  pos = cursor;
  return true;
}

}  // namespace

std::string PeripSettingPath() { return ProgramNamedPath(".pset"); }

int SavePeripSetting(const std::string& path, const TPortTable& table) {
  std::string content;
  for (int entry : kLineEntries) {
    content += std::to_string(table[entry]);
    content += "\r\n";
  }
  // Typed by the user in the port dialog: forced to the disk like any saved file.
  return ReplaceFile(path, content, nullptr, true) ? 0 : 1;
}

int LoadPeripSetting(const std::string& path, TPortTable& table) {
  std::string content;
  if (!ReadRegularFile(path, content)) return 1;
  size_t pos = 0;
  for (int entry : kLineEntries) {
    int32_t value = 0;
    if (!ScanInt32(content, pos, value)) break;
    table[entry] = value;
  }
  return 0;
}
