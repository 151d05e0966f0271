#pragma once
// The listing texts of one source, one per code word, kept end to end in a single
// text: a million-line source would otherwise allocate a string per word.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TListTexts {
 public:
  void clear() {
    Text.clear();
    Ends.clear();
  }
  void reserve(size_t texts, size_t bytes) {
    Ends.reserve(texts);
    Text.reserve(bytes);
  }
  void push_back(std::string_view text) {
    Text.append(text);
    Ends.push_back(Text.size());
  }
  size_t size() const { return Ends.size(); }
  bool empty() const { return Ends.empty(); }
  // Valid until the next push_back or clear.
  std::string_view operator[](size_t i) const {
    const size_t begin = i == 0 ? 0 : Ends[i - 1];
    return std::string_view(Text).substr(begin, Ends[i] - begin);
  }
  std::vector<std::string> ToStrings() const {
    std::vector<std::string> texts;
    texts.reserve(size());
    for (size_t i = 0; i < size(); ++i) texts.emplace_back((*this)[i]);
    return texts;
  }
  bool operator==(const TListTexts&) const = default;

 private:
  std::string Text;
  std::vector<size_t> Ends;  // end of text i in Text
};
