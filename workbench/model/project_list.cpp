#include "workbench/model/project_list.h"

#include <algorithm>

int32_t MoveTarget(TListMove move, int32_t i, int32_t n) {
  switch (move) {
    case TListMove::Top: return 0;
    case TListMove::Back: return n - 1;
    case TListMove::Pre: return std::max(i - 1, 0);
    case TListMove::Next: return std::min(i + 1, n - 1);
  }
  return i;
}

bool MoveItem(std::vector<std::string>& items, int32_t from, int32_t to) {
  const int32_t n = static_cast<int32_t>(items.size());
  if (from < 0 || from >= n || to < 0 || to >= n) return false;
  std::string item = std::move(items[static_cast<size_t>(from)]);
  items.erase(items.begin() + from);
  items.insert(items.begin() + to, std::move(item));
  return true;
}

int32_t IsInList(const std::vector<std::string>& items, const std::string& path) {
  return std::find(items.begin(), items.end(), path) != items.end() ? 1 : 0;
}

std::vector<std::string> NonEmptyItems(const std::vector<std::string>& items) {
  std::vector<std::string> kept;
  for (const std::string& item : items)
    if (!item.empty()) kept.push_back(item);
  return kept;
}
