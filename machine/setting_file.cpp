#include "machine/setting_file.h"

#include <unistd.h>

#include <charconv>
#include <cmath>

#include "base/file_read.h"
#include "base/replacing_file.h"

namespace {

constexpr const char* kLineEnd = "\r\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HoldsLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

std::string FormatNumber(double value, std::chars_format format, int precision) {
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  if (result.ec != std::errc()) return "0";
  return std::string(buffer, result.ptr);
}

std::string ProgramFileName() {
  char buffer[4096];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "TALVOSim";
  std::string path(buffer, static_cast<size_t>(length));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int ReadSettingItems(const std::string& path, TSettingItems& out) {
  std::string content;
  if (!ReadRegularFile(path, content)) return 0;
  size_t start = 0;
  for (std::string& item : out.Items) {
    if (start >= content.size()) {
      item.clear();
      continue;
    }
    size_t end = content.find('\n', start);
    size_t next = end == std::string::npos ? content.size() : end + 1;
    if (end == std::string::npos) end = content.size();
    size_t textEnd = end;
    while (textEnd > start && content[textEnd - 1] == '\r') --textEnd;
    item.assign(content, start, textEnd - start);
    start = next;
  }
  return 1;
}

int WriteSettingItems(const std::string& path, const TSettingItems& in) {
  std::string content;
  for (const std::string& item : in.Items) {
    if (HoldsLineBreak(item)) return 0;
    content += item;
    content += kLineEnd;
  }
  // Typed by the user in the setup dialog: forced to the disk like any saved file.
  return ReplaceFile(path, content, nullptr, true) ? 1 : 0;
}

bool ParseSettingNumber(const std::string& text, double& value) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  if (first < last && text[first] == '+') ++first;
  if (first == last) return false;
  double parsed = 0;
  const char* begin = text.data() + first;
  const char* end = text.data() + last;
  auto result = std::from_chars(begin, end, parsed, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

std::string FormatSettingNumber(double value) {
  return FormatNumber(value, std::chars_format::fixed, 6);
}

std::string FormatSettingNumberShort(double value) {
  return FormatNumber(value, std::chars_format::general, 15);
}

std::string ProgramNamedPath(const std::string& extension) {
  std::string name = ProgramFileName();
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name + extension;
}

std::string DefaultSettingPath() { return ProgramNamedPath(".setting"); }
