// The design document's table of folders and targets (docs/design.md, "<!-- check:
// targets -->") is the build's: every library and program the CMakeLists.txt of the
// kit's own folders make (tests, benchmarks and fuzz targets aside), in its folder,
// with the targets it links.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "../common/file_bytes.h"
#include "reference_tables.h"

namespace fs = std::filesystem;

namespace {

// The words of a CMakeLists.txt, comments left out, each parenthesis a word.
std::vector<std::string> CMakeWords(const std::string& text) {
  std::string spaced;
  bool comment = false;
  for (const char c : text) {
    comment = c != '\n' && (comment || c == '#');
    if (!comment) spaced += c == '(' || c == ')' ? std::string(" ") + c + " " : std::string(1, c);
  }
  std::vector<std::string> words;
  std::istringstream split(spaced);
  for (std::string word; split >> word;) words.push_back(word);
  return words;
}

TEST(DesignDocument, TheTableOfFoldersAndTargetsIsTheBuilds) {
  const fs::path root = TALVO_SOURCE_DIR;
  std::map<std::string, std::pair<std::string, std::set<std::string>>> targets;  // folder and links
  for (auto entry = fs::recursive_directory_iterator(root); entry != fs::recursive_directory_iterator(); ++entry) {
    const std::string name = entry->path().filename().string();
    if (entry->is_directory() && entry.depth() == 0 &&
        (name.starts_with("build") || name.starts_with(".") || name == "tests" || name == "bench" || name == "fuzz"))
      entry.disable_recursion_pending();
    if (name != "CMakeLists.txt" || entry.depth() == 0) continue;
    const std::string folder = fs::relative(entry->path().parent_path(), root).string() + "/";
    const std::vector<std::string> words = CMakeWords(ReadBytes(entry->path()));
    for (size_t i = 0; i + 2 < words.size(); ++i) {
      if (words[i + 1] != "(") continue;
      if (words[i] == "add_library" || words[i] == "add_executable") targets[words[i + 2]].first = folder;
      if (words[i] != "target_link_libraries") continue;
      for (size_t j = i + 3; j < words.size() && words[j] != ")"; ++j)
        if (words[j] != "PUBLIC" && words[j] != "PRIVATE" && words[j] != "INTERFACE")
          targets[words[i + 2]].second.insert(words[j]);
    }
  }
  const auto joined = [](const std::set<std::string>& links) {
    std::string text;
    for (const std::string& link : links) text += (text.empty() ? "" : ", ") + link;
    return text.empty() ? std::string("—") : text;
  };
  TRows build;
  for (const auto& [target, made] : targets) build.insert(Row({made.first, target, joined(made.second)}));
  ExpectSameRows(build, ReferenceRows("targets", {0, 1, 2}, [&](size_t column, const std::string& cell) {
                   if (column != 2) return cell;
                   std::set<std::string> links;
                   std::istringstream split(cell);
                   for (std::string link; std::getline(split, link, ',');)
                     if (Trim(link) != "—") links.insert(Trim(link));
                   return joined(links);
                 }));
}

}  // namespace
