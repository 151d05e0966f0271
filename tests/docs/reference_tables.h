#pragma once
// The documents of docs/ as the docs tests read them: the chapters line by line, and
// the tables marked "<!-- check: NAME -->", whose rows are compared with the rows the
// kit gives (a row missing, added or changed is named).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../common/file_bytes.h"

inline std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

struct TChapter {
  std::string Name;  // the file's
  std::vector<std::string> Lines;
};

// The documents of docs/ in name order.
inline std::vector<TChapter> ReadReference() {
  std::vector<TChapter> chapters;
  for (const auto& entry : std::filesystem::directory_iterator(TALVO_SOURCE_DIR "/docs")) {
    if (entry.path().extension() != ".md") continue;
    TChapter& chapter = chapters.emplace_back(TChapter{entry.path().filename().string(), {}});
    std::istringstream text(ReadBytes(entry.path()));
    for (std::string line; std::getline(text, line);) chapter.Lines.push_back(line);
  }
  std::sort(chapters.begin(), chapters.end(), [](const TChapter& a, const TChapter& b) { return a.Name < b.Name; });
  return chapters;
}

using TRows = std::multiset<std::string>;
using TCellReading = std::function<std::string(size_t column, const std::string& cell)>;

inline std::string Row(const std::vector<std::string>& cells) {
  std::string row;
  for (const std::string& cell : cells) row += (row.empty() ? "" : " | ") + cell;
  return row;
}

// The given columns of the body rows of the table right after "<!-- check: NAME -->",
// each cell without backticks and read by `read`; a row too short for them keeps "?"
// in their place, so it shows as a difference.
inline TRows ReferenceRows(const std::string& table, const std::vector<size_t>& columns,
                           const TCellReading& read = nullptr) {
  TRows rows;
  for (const TChapter& chapter : ReadReference()) {
    const std::string marker = "<!-- check: " + table + " -->";
    auto line = std::find_if(chapter.Lines.begin(), chapter.Lines.end(), [&](auto& l) { return Trim(l) == marker; });
    if (line == chapter.Lines.end()) continue;
    // Past the heading row and the row under it.
    for (line += std::min<ptrdiff_t>(3, chapter.Lines.end() - line); line != chapter.Lines.end(); ++line) {
      std::string text = Trim(*line);
      if (text.size() < 2 || text.front() != '|') break;
      text.erase(std::remove(text.begin(), text.end(), '`'), text.end());
      std::vector<std::string> cells;
      std::istringstream split(text.substr(1, text.size() - 2));
      for (std::string cell; std::getline(split, cell, '|');) cells.push_back(Trim(cell));
      std::vector<std::string> wanted;
      for (const size_t c : columns) wanted.push_back(c >= cells.size() ? "?" : read ? read(c, cells[c]) : cells[c]);
      rows.insert(Row(wanted));
    }
  }
  return rows;
}

// The rows one side has and the other lacks, one per line.
inline std::string Lacking(TRows rows, const TRows& other) {
  for (const std::string& row : other)
    if (const auto at = rows.find(row); at != rows.end()) rows.erase(at);
  std::string lines;
  for (const std::string& row : rows) lines += "  " + row + "\n";
  return lines;
}

inline void ExpectSameRows(const TRows& kit, const TRows& reference) {
  EXPECT_EQ(Lacking(kit, reference), "") << "in the kit, missing from the reference or given otherwise";
  EXPECT_EQ(Lacking(reference, kit), "") << "in the reference, not in the kit";
}
