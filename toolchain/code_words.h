#pragma once
// The code words of one source in order. It answers as the ordered list of the
// other lists does (Count after UpdateCount, Item clamping to the last word), but
// keeps the words side by side: a million-line source holds millions of them, and a
// list node per word would cost eight times the memory and a free per word at exit.

#include <cstdint>
#include <vector>

class TCodeWords {
 public:
  // What Item gives: the word, as a list node's Value.
  struct TWord {
    uint32_t& Value;
  };
  class TWordPointer {
   public:
    explicit TWordPointer(uint32_t& word) : Word{word} {}
    TWord* operator->() { return &Word; }

   private:
    TWord Word;
  };

  int32_t Count = 0;  // as of the last UpdateCount, Append or Clear

  void Append(uint32_t word) {
    Words.push_back(word);
    Count = static_cast<int32_t>(Words.size());
  }
  void Clear() {
    Words.clear();
    Count = 0;
  }
  void Reserve(size_t words) { Words.reserve(words); }
  int32_t CountNodes() const { return static_cast<int32_t>(Words.size()); }
  void UpdateCount() { Count = CountNodes(); }

  // The word at index; an index outside the words gives the last one, and an empty
  // store a zero word of its own.
  TWordPointer Item(int32_t index) { return TWordPointer(At(index)); }

  TCodeWords& Assign(const TCodeWords& other) { return *this = other; }
  const std::vector<uint32_t>& All() const { return Words; }

 private:
  uint32_t& At(int32_t index) {
    if (Words.empty()) return Empty = 0;
    if (index < 0 || static_cast<size_t>(index) >= Words.size()) return Words.back();
    return Words[static_cast<size_t>(index)];
  }

  std::vector<uint32_t> Words;
  uint32_t Empty = 0;
};
