#include "talvorun_report.h"

#include <sstream>

Value128 TTalvorunReport::Register(const std::string& name) const {
  const auto found = Registers.find(name);
  return found == Registers.end() ? 0 : found->second;
}

bool TTalvorunReport::MemoryValue(uint64_t address, Value128& out) const {
  out = 0;
  for (int i = 15; i >= 0; --i) {
    const auto byte = Memory.find(address + static_cast<uint64_t>(i));
    if (byte == Memory.end()) return false;
    out = out << 8 | byte->second;
  }
  return true;
}

TTalvorunReport ReadTalvorunReport(const std::string& text) {
  TTalvorunReport report;
  std::istringstream lines(text);
  bool stopped = false;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string name, value;
    words >> name >> value;
    try {
      if (name == "steps") continue;
      if (name == "stop") {
        report.Failed = value == "failed";
        stopped = true;
      } else if (name == "mem") {
        uint64_t at = std::stoull(value, nullptr, 16);
        for (std::string byte; words >> byte;) report.Memory[at++] = static_cast<uint8_t>(std::stoul(byte, nullptr, 16));
      } else if (value.size() == 32) {
        report.Registers[name] = MakeValue128(std::stoull(value.substr(0, 16), nullptr, 16),
                                              std::stoull(value.substr(16), nullptr, 16));
      } else {
        return report;
      }
    } catch (const std::exception&) {
      return report;
    }
  }
  report.Read = stopped;
  return report;
}
