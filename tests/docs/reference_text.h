#pragma once
// The programmer's reference (docs/*.md) as its tests read it: chapter by chapter, line
// by line.

#include <algorithm>
#include <filesystem>
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

// The chapters in name order.
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
