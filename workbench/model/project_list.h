#pragma once
// The project list's rules: moving the selected source, the duplicate test of the
// file-list dialog, and the list as the project keeps it.

#include <cstdint>
#include <string>
#include <vector>

enum class TListMove { Top, Back, Pre, Next };

// The position the selected item i of n moves to.
int32_t MoveTarget(TListMove move, int32_t i, int32_t n);
// Takes the item out and inserts it at the target; false (nothing changed) when
// either index is outside the list.
bool MoveItem(std::vector<std::string>& items, int32_t from, int32_t to);
// 1 when a line equals the path byte for byte (letter case counts), else 0.
int32_t IsInList(const std::vector<std::string>& items, const std::string& path);
// The list's items without empty ones, as the project takes them back.
std::vector<std::string> NonEmptyItems(const std::vector<std::string>& items);
