#include "reference_text.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "../common/file_bytes.h"

namespace fs = std::filesystem;

namespace {

const std::string kDocs = TALVO_SOURCE_DIR "/docs";
constexpr const char* kProgramFence = "```casm 完整程序";
constexpr const char* kResultPrefix = "// 结果：";

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> RowCells(const std::string& row) {
  std::vector<std::string> cells;
  std::string inner = Trim(row);
  if (inner.size() < 2 || inner.front() != '|' || inner.back() != '|') return cells;
  inner = inner.substr(1, inner.size() - 2);
  std::istringstream in(inner);
  for (std::string cell; std::getline(in, cell, '|');) {
    cell.erase(std::remove(cell.begin(), cell.end(), '`'), cell.end());
    cells.push_back(Trim(cell));
  }
  return cells;
}

bool IsSeparatorRow(const std::vector<std::string>& cells) {
  return !cells.empty() && std::all_of(cells.begin(), cells.end(), [](const std::string& cell) {
           return !cell.empty() && cell.find_first_not_of("-:") == std::string::npos;
         });
}

// "NAME = VALUE" after the prefix; false when it does not read.
bool ParseResult(const std::string& text, TStatedResult& out) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  out.Name = Trim(text.substr(0, equals));
  if (!ParseReferenceValue(Trim(text.substr(equals + 1)), out.Value)) return false;
  const std::string memory = "内存[";
  if (out.Name.rfind(memory, 0) == 0 && out.Name.back() == ']') {
    Value128 address = 0;
    if (!ParseReferenceValue(out.Name.substr(memory.size(), out.Name.size() - memory.size() - 1), address))
      return false;
    out.IsMemory = true;
    out.Address = static_cast<uint64_t>(address);
  }
  return !out.Name.empty();
}

}  // namespace

std::vector<TChapter> ReadReference() {
  std::vector<TChapter> chapters;
  for (const auto& entry : fs::directory_iterator(kDocs))
    if (entry.path().extension() == ".md")
      chapters.push_back({entry.path().filename().string(), ReadBytes(entry.path())});
  std::sort(chapters.begin(), chapters.end(), [](const TChapter& a, const TChapter& b) { return a.Name < b.Name; });
  return chapters;
}

std::vector<std::vector<std::string>> CheckedTable(const std::string& name) {
  const std::string marker = "<!-- check: " + name + " -->";
  for (const TChapter& chapter : ReadReference()) {
    const std::vector<std::string> lines = Lines(chapter.Text);
    const auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return Trim(l) == marker; });
    if (at == lines.end()) continue;
    std::vector<std::vector<std::string>> rows;
    bool inTable = false, headerSeen = false;
    for (auto line = at + 1; line != lines.end(); ++line) {
      const std::vector<std::string> cells = RowCells(*line);
      if (cells.empty()) {
        if (inTable) break;
        continue;
      }
      inTable = true;
      if (!headerSeen) {
        headerSeen = true;  // the heading row
        continue;
      }
      if (!IsSeparatorRow(cells)) rows.push_back(cells);
    }
    return rows;
  }
  return {};
}

std::vector<TProgramBlock> CompletePrograms() {
  std::vector<TProgramBlock> blocks;
  for (const TChapter& chapter : ReadReference()) {
    int number = 0;
    TProgramBlock* block = nullptr;
    for (const std::string& line : Lines(chapter.Text)) {
      if (block == nullptr) {
        if (Trim(line) != kProgramFence) continue;
        blocks.push_back({chapter.Name + " #" + std::to_string(++number), {}, {}, {}});
        block = &blocks.back();
        continue;
      }
      if (Trim(line).rfind("```", 0) == 0) {
        block = nullptr;
        continue;
      }
      block->Source += line + "\n";
      const std::string trimmed = Trim(line);
      if (trimmed.rfind(kResultPrefix, 0) != 0) continue;
      TStatedResult result;
      result.Line = trimmed;
      if (ParseResult(trimmed.substr(std::string(kResultPrefix).size()), result)) {
        block->Results.push_back(result);
      } else {
        block->Problems.push_back(trimmed);
      }
    }
  }
  return blocks;
}

bool ParseReferenceValue(const std::string& text, Value128& out) {
  const bool hex = text.rfind("0H", 0) == 0;
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || (hex && digits.size() > 32)) return false;
  Value128 value = 0;
  for (const char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    if (__builtin_mul_overflow(value, Value128{hex ? 16u : 10u}, &value) ||
        __builtin_add_overflow(value, Value128(static_cast<unsigned>(digit)), &value))
      return false;
  }
  out = value;
  return true;
}
