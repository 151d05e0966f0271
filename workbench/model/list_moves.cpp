#include "workbench/model/list_moves.h"

#include <algorithm>

int MoveTarget(TListMove move, int i, int n) {
  switch (move) {
    case TListMove::Top: return 0;
    case TListMove::Back: return n - 1;
    case TListMove::Prev: return std::max(i - 1, 0);
    case TListMove::Next: return std::min(i + 1, n - 1);
  }
  return i;
}

void MoveItem(std::vector<std::string>& items, int from, int to) {
  if (from < 0 || to < 0 || from >= static_cast<int>(items.size()) ||
      to >= static_cast<int>(items.size()) || from == to) {
    return;
  }
  std::string item = std::move(items[static_cast<size_t>(from)]);
  items.erase(items.begin() + from);
  items.insert(items.begin() + to, std::move(item));
}
