#include "program_spec.h"

#include <sstream>

#include "machine/text_views.h"

namespace {

bool ParseHex(const std::string& text, Value128& out) {
  if (text.empty() || text.size() > 32) return false;
  Value128 value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    value = (value << 4) | static_cast<unsigned>(digit);
  }
  out = value;
  return true;
}

bool ParseHex64(const std::string& text, uint64_t& out) {
  Value128 value;
  if (!ParseHex(text, value) || High64(value) != 0) return false;
  out = Low64(value);
  return true;
}

bool ParseDecimal(const std::string& text, int64_t& out) {
  if (text.empty()) return false;
  size_t used = 0;
  try {
    out = std::stoll(text, &used, 10);
  } catch (...) {
    return false;
  }
  return used == text.size();
}

bool ParseBytes(std::istringstream& words, TExpectedBytes& out) {
  std::string word;
  if (!(words >> word) || !ParseHex64(word, out.Address)) return false;
  while (words >> word) {
    uint64_t byte;
    if (word.size() != 2 || !ParseHex64(word, byte)) return false;
    out.Bytes.push_back(static_cast<uint8_t>(byte));
  }
  return !out.Bytes.empty();
}

bool ParseSetup(std::istringstream& words, TProgramSpec& spec) {
  std::string what;
  words >> what;
  std::string a, b, c;
  int64_t x, y, z;
  if (what == "port") {
    uint64_t port;
    if (!(words >> a >> b) || !ParseDecimal(a, x) || x < 0 || x > 23 || !ParseHex64(b, port)) return false;
    spec.Ports.emplace_back(static_cast<int>(x), static_cast<int32_t>(port));
    return true;
  }
  if (what == "key") {
    if (!(words >> a) || !ParseDecimal(a, x) || x <= 0 || x > 127) return false;
    spec.Key = static_cast<int>(x);
    return true;
  }
  if (what == "mouse") {
    if (!(words >> a >> b >> c) || !ParseDecimal(a, x) || !ParseDecimal(b, y) || !ParseDecimal(c, z))
      return false;
    spec.HasMouse = true;
    spec.MouseX = x;
    spec.MouseY = y;
    spec.MouseButton = z;
    return true;
  }
  if (what == "screen") {
    if (!(words >> a >> b) || !ParseDecimal(a, x) || !ParseDecimal(b, y) || x <= 0 || y <= 0) return false;
    spec.ScreenWidth = static_cast<int>(x);
    spec.ScreenHeight = static_cast<int>(y);
    return true;
  }
  if (what == "floppy") return spec.Floppy = true;
  if (what == "disk") return spec.Disk = true;
  return false;
}

bool ParseExpect(std::istringstream& words, TProgramSpec& spec) {
  std::string what;
  words >> what;
  std::string a, b, c;
  if (what == "failed") return spec.ExpectFailed = true;
  if (what == "others") return (words >> a) && a == "zero" && (spec.OthersZero = true);
  if (what == "mem" || what == "floppy" || what == "disk") {
    TExpectedBytes bytes;
    if (!ParseBytes(words, bytes)) return false;
    (what == "mem" ? spec.Memory : what == "floppy" ? spec.FloppyBytes : spec.DiskBytes).push_back(bytes);
    return true;
  }
  if (what == "pixel") {
    int64_t x, y;
    uint64_t colour;
    if (!(words >> a >> b >> c) || !ParseDecimal(a, x) || !ParseDecimal(b, y) || !ParseHex64(c, colour))
      return false;
    spec.Pixels.push_back({static_cast<int>(x), static_cast<int>(y), static_cast<uint32_t>(colour)});
    return true;
  }
  if (what == "timer") {
    int64_t interval;
    if (!(words >> a >> b) || !ParseDecimal(a, interval) || (b != "on" && b != "off")) return false;
    spec.ExpectTimer = true;
    spec.TimerInterval = static_cast<uint32_t>(interval);
    spec.TimerOn = b == "on";
    return true;
  }
  const int reg = SpecRegisterNumber(what);
  Value128 value;
  if (reg < 0 || !(words >> a) || !ParseHex(a, value)) return false;
  spec.Registers.emplace_back(reg, value);
  return true;
}

}  // namespace

int SpecRegisterNumber(const std::string& name) {
  for (int n = 0; n < isa::kSpecialRegisterCount; ++n)
    if (name == SpecialRegName(n)) return 256 + n;
  int64_t number;
  if (name.size() < 2 || name[0] != 'R' || !ParseDecimal(name.substr(1), number) || number < 0 || number > 255)
    return -1;
  return static_cast<int>(number);
}

bool ParseProgramSpec(const std::string& source, TProgramSpec& spec, std::string& error) {
  std::istringstream lines(source);
  std::string line;
  int lineNo = 0;
  while (std::getline(lines, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string slashes, kind;
    if (!(words >> slashes >> kind) || slashes != "//" || (kind != "setup" && kind != "expect")) continue;
    const bool ok = kind == "setup" ? ParseSetup(words, spec) : ParseExpect(words, spec);
    std::string rest;
    if (!ok || (words >> rest)) {
      error = "line " + std::to_string(lineNo) + ": cannot read \"" + line + "\"";
      return false;
    }
  }
  return true;
}
