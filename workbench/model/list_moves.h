#pragma once
// The project list's moves: where the selected entry goes.

#include <string>
#include <vector>

enum class TListMove { Top, Back, Prev, Next };

// The target index of the item at i in a list of n items.
int MoveTarget(TListMove move, int i, int n);
// Takes the item out and inserts it at the target; the others keep their order.
void MoveItem(std::vector<std::string>& items, int from, int to);
