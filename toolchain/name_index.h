#pragma once
// Symbol names to values in one flat table: the passes and the linker look up one
// name per reference among as many definitions, and a node per name would cost an
// allocation each. The table holds only hashes and entry numbers, so that it stays
// small enough for the cache; the names are views, whose text must outlive the index.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

template <class V>
class TNameIndex {
 public:
  void Clear() {
    Slots.clear();
    Names.clear();
    Values.clear();
  }
  void Reserve(size_t names) {
    Names.reserve(names);
    Values.reserve(names);
    size_t size = 16;
    while (size < 2 * names) size *= 2;
    if (size > Slots.size()) Rehash(size);
  }

  // The name's value, or null.
  const V* Find(std::string_view name) const {
    if (Slots.empty()) return nullptr;
    const uint32_t hash = Hash(name);
    for (size_t at = hash & Mask();; at = (at + 1) & Mask()) {
      const TSlot& slot = Slots[at];
      if (slot.Entry == 0) return nullptr;
      if (slot.Hash == hash && Names[slot.Entry - 1] == name) return &Values[slot.Entry - 1];
    }
  }
  // A name already present keeps its first value.
  void InsertFirst(std::string_view name, const V& value) { Put(name, value, false); }
  // A name already present takes the new value.
  void InsertLast(std::string_view name, const V& value) { Put(name, value, true); }

 private:
  struct TSlot {
    uint32_t Hash = 0;
    uint32_t Entry = 0;  // 0 for a free slot, else the entry's number plus 1
  };

  static uint32_t Hash(std::string_view name) {
    return static_cast<uint32_t>(std::hash<std::string_view>{}(name));
  }
  size_t Mask() const { return Slots.size() - 1; }

  void Put(std::string_view name, const V& value, bool replace) {
    if (2 * (Names.size() + 1) > Slots.size()) Rehash(Slots.empty() ? 16 : 2 * Slots.size());
    const uint32_t hash = Hash(name);
    for (size_t at = hash & Mask();; at = (at + 1) & Mask()) {
      TSlot& slot = Slots[at];
      if (slot.Entry == 0) {
        Names.push_back(name);
        Values.push_back(value);
        slot = TSlot{hash, static_cast<uint32_t>(Names.size())};
        return;
      }
      if (slot.Hash == hash && Names[slot.Entry - 1] == name) {
        if (replace) Values[slot.Entry - 1] = value;
        return;
      }
    }
  }

  void Rehash(size_t size) {
    std::vector<TSlot> old(size);
    old.swap(Slots);
    for (const TSlot& slot : old) {
      if (slot.Entry == 0) continue;
      size_t at = slot.Hash & Mask();
      while (Slots[at].Entry != 0) at = (at + 1) & Mask();
      Slots[at] = slot;
    }
  }

  std::vector<TSlot> Slots;  // a power of two, at most half used
  std::vector<std::string_view> Names;
  std::vector<V> Values;
};
